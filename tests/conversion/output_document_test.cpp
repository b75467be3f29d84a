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

// `text` escaped where it stands, after a line's start that stays as it is.
std::string EscapedInPlace(std::string_view text) {
  std::string out = "<value>";
  out.append(text);
  EscapeXmlTail(out, 7);
  EXPECT_EQ(out.substr(0, 7), "<value>");
  return out.substr(7);
}

CellValue Text(std::string text) { return CellValue::Text(std::move(text)); }

// The buffer emptied for the next line, as the run reuses it.
std::string& Fresh(std::string& buffer) {
  buffer.clear();
  return buffer;
}

TEST(OutputDocument, BuildsEachLineExactly) {
  std::string b = "left over from an earlier line";
  EXPECT_EQ(HeaderLine(Fresh(b)), "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Main>");
  EXPECT_EQ(NodeStartLine(Fresh(b), 1, Text("Name")), "<node id=\"n1\" lbl=\"Name\">");
  EXPECT_EQ(NodeStartLine(Fresh(b), 10, Text(" spaced ")), "<node id=\"n10\" lbl=\" spaced \">");
  EXPECT_EQ(NodeStartLine(Fresh(b), 32767, Text("")), "<node id=\"n32767\" lbl=\"\">");
  EXPECT_EQ(NodeStartLine(Fresh(b), 2, CellValue::Number(1.5)), "<node id=\"n2\" lbl=\"1.5\">");
  EXPECT_EQ(ValueLine(Fresh(b), Text("Ada")), "<value>Ada</value>");
  EXPECT_EQ(ValueLine(Fresh(b), Text("")), "<value></value>");
  EXPECT_EQ(ValueLine(Fresh(b), CellValue::Error(CellError::kNA)), "<value>#N/A</value>");
  EXPECT_EQ(ValueLine(Fresh(b), Text("a<b")), "<value>a&lt;b</value>");
  EXPECT_EQ(ValueLine(Fresh(b), CellValue::Date(45000.25, DateSystem::k1900)),
            "<value>2023-03-15 06:00:00</value>");
  EXPECT_EQ(NodeEndLine(Fresh(b)), "</node>");
  EXPECT_EQ(ClosingLine(Fresh(b)), "</Main>");
  std::string two = "<value>a</value>";
  EXPECT_EQ(&ValueLine(two, Text("b")), &two);  // appends to the buffer it is given
  EXPECT_EQ(two, "<value>a</value><value>b</value>");
}

TEST(XmlEscape, EscapesMarkupAndLineBreaksAndKeepsTheRest) {
  const struct {
    std::string_view text;
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
      {std::string_view("a\0b", 3),
       "a\xEF\xBF\xBD"
       "b"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Escaped(row.text), row.escaped) << "for " << row.text;
    EXPECT_EQ(EscapedInPlace(row.text), row.escaped) << "in place, for " << row.text;
  }
}

TEST(XmlEscape, EveryEscapedTextReadsBackAsXml) {
  const std::string nasty = "& < > \" ' \r\n\t \x01 \xEF\xBF\xBF ]]> <!-- --> &amp;";
  std::string document;
  HeaderLine(document).append("\r\n");
  NodeStartLine(document, 1, Text(nasty)).append("\r\n");
  ValueLine(document, Text(nasty)).append("\r\n");
  NodeEndLine(document).append("\r\n");
  ClosingLine(document).append("\r\n");
  EXPECT_TRUE(testing::IsWellFormedXml(document));
}

}  // namespace
}  // namespace zerova
