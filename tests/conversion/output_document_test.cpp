// Escaping cell text in the output document's lines. The lines themselves, and the
// escaping of markup, line breaks and tabs, are checked by the fixture documents.
#include <gtest/gtest.h>

#include "conversion/output_document.h"
#include "conversion/xml_escape.h"
#include "support/document.h"

namespace zerova {
namespace {

// A character XML cannot hold becomes one U+FFFD, and so does each byte of what is
// no UTF-8; the result is the same escaped apart or in place, and reads back as XML.
TEST(XmlEscape, ReplacesWhatXmlCannotHoldAndKeepsTheRest) {
  const struct {
    std::string_view text;
    const char* escaped;
  } rows[] = {
      {"a<b>\"c\" & it's", "a&lt;b&gt;&quot;c&quot; &amp; it's"},
      {"\r\n\t", "&#13;&#10;&#9;"},
      {"Grüße, 東京, 😀", "Grüße, 東京, 😀"},
      {"\xEF\xBF\xBE|\xEF\xBF\xBF", "\xEF\xBF\xBD|\xEF\xBF\xBD"},  // U+FFFE, U+FFFF
      {"bad\xC3", "bad\xEF\xBF\xBD"},                              // truncated sequence
      {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},    // encoded surrogate
      {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},                    // overlong '/'
      {std::string_view("\0\x01]]>", 5), "\xEF\xBF\xBD\xEF\xBF\xBD]]&gt;"},
  };
  for (const auto& row : rows) {
    std::string apart;
    AppendXmlEscaped(row.text, apart);
    EXPECT_EQ(apart, row.escaped) << row.text;
    std::string in_place = "<value>";
    in_place.append(row.text);
    EscapeXmlTail(in_place, 7);
    EXPECT_EQ(in_place, "<value>" + apart) << row.text;
    std::string document;
    HeaderLine(document);
    ValueLine(NodeStartLine(document, 1, CellValue::Text(std::string(row.text))),
              CellValue::Text(std::string(row.text)));
    ClosingLine(NodeEndLine(document));
    EXPECT_TRUE(test::IsWellFormedXml(document)) << document;
  }
}

}  // namespace
}  // namespace zerova
