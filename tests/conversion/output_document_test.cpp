// The lines of the output document and the escaping of cell text in them.
#include "conversion/output_document.h"

#include <gtest/gtest.h>

#include "conversion/xml_escape.h"
#include "support/document.h"

namespace zerova {
namespace {

std::string Escaped(std::string_view text) {
  std::string out;
  AppendXmlEscaped(text, out);
  return out;
}

TEST(OutputDocument, BuildsEachLineExactly) {
  EXPECT_EQ(HeaderLine(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Main>");
  EXPECT_EQ(NodeStartLine(1, "Name"), "<node id=\"n1\" lbl=\"Name\">");
  EXPECT_EQ(NodeStartLine(10, " spaced "), "<node id=\"n10\" lbl=\" spaced \">");
  EXPECT_EQ(NodeStartLine(32767, ""), "<node id=\"n32767\" lbl=\"\">");
  EXPECT_EQ(ValueLine("Ada"), "<value>Ada</value>");
  EXPECT_EQ(ValueLine(""), "<value></value>");
  EXPECT_EQ(NodeEndLine(), "</node>");
  EXPECT_EQ(ClosingLine(), "</Main>");
}

TEST(XmlEscape, EscapesMarkupAndLineBreaksAndKeepsTheRest) {
  const struct {
    const char* text;
    const char* escaped;
  } rows[] = {
      {"plain text", "plain text"},
      {"Tom & Jerry", "Tom &amp; Jerry"},
      {"a<b>c", "a&lt;b&gt;c"},
      {"say \"hi\"", "say &quot;hi&quot;"},
      {"it's", "it's"},
      {"line1\r\nline2", "line1&#13;&#10;line2"},
      {"a\tb", "a&#9;b"},
      {"Grüße, 東京, 😀", "Grüße, 東京, 😀"},
      {"bell\x07", "bell\xEF\xBF\xBD"},                          // C0 control: not an XML character
      {"\xEF\xBF\xBE", "\xEF\xBF\xBD"},                          // U+FFFE
      {"\xEF\xBF\xBF", "\xEF\xBF\xBD"},                          // U+FFFF
      {"bad\xC3", "bad\xEF\xBF\xBD"},                            // truncated sequence
      {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // encoded surrogate
      {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},                  // overlong '/'
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Escaped(row.text), row.escaped) << "for " << row.text;
  }
  EXPECT_EQ(Escaped(std::string_view("a\0b", 3)),
            "a\xEF\xBF\xBD"
            "b");
}

TEST(XmlEscape, EveryEscapedTextReadsBackAsXml) {
  const std::string nasty = "& < > \" ' \r\n\t \x01 \xEF\xBF\xBF ]]> <!-- --> &amp;";
  const std::string document = HeaderLine() + "\r\n" + NodeStartLine(1, nasty) + "\r\n" +
                               ValueLine(nasty) + "\r\n" + NodeEndLine() + "\r\n" + ClosingLine() +
                               "\r\n";
  EXPECT_TRUE(testing::IsWellFormedXml(document));
}

}  // namespace
}  // namespace zerova
