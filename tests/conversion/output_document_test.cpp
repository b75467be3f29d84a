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

// The buffer emptied for the next line, as the run reuses it.
std::string& Fresh(std::string& buffer) {
  buffer.clear();
  return buffer;
}

TEST(OutputDocument, BuildsEachLineExactly) {
  std::string b = "left over from an earlier line";
  EXPECT_EQ(HeaderLine(Fresh(b)), "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Main>");
  EXPECT_EQ(NodeStartLine(Fresh(b), 1, "Name"), "<node id=\"n1\" lbl=\"Name\">");
  EXPECT_EQ(NodeStartLine(Fresh(b), 10, " spaced "), "<node id=\"n10\" lbl=\" spaced \">");
  EXPECT_EQ(NodeStartLine(Fresh(b), 32767, ""), "<node id=\"n32767\" lbl=\"\">");
  EXPECT_EQ(ValueLine(Fresh(b), "Ada"), "<value>Ada</value>");
  EXPECT_EQ(ValueLine(Fresh(b), ""), "<value></value>");
  EXPECT_EQ(NodeEndLine(Fresh(b)), "</node>");
  EXPECT_EQ(ClosingLine(Fresh(b)), "</Main>");
  std::string two = "<value>a</value>";
  EXPECT_EQ(&ValueLine(two, "b"), &two);  // appends to the buffer it is given
  EXPECT_EQ(two, "<value>a</value><value>b</value>");
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
  std::string document;
  HeaderLine(document).append("\r\n");
  NodeStartLine(document, 1, nasty).append("\r\n");
  ValueLine(document, nasty).append("\r\n");
  NodeEndLine(document).append("\r\n");
  ClosingLine(document).append("\r\n");
  EXPECT_TRUE(testing::IsWellFormedXml(document));
}

}  // namespace
}  // namespace zerova
