// The .ods reader on packages built in memory: values, repeats and bad input.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "support/office_book.h"

namespace zerova::testing {
namespace {

using ::testing::HasSubstr;

TEST(OdsReaderTest, CellsAndRefusals) {
  std::string spaces;  // 2000 × 99999999 spaces: far more than any text may hold
  for (int i = 0; i < 2000; ++i) spaces += "<text:s text:c=\"99999999\"/>";
  auto row = [](const std::string& cells) {
    return Zip(Ods("<table:table-row>" + cells + "</table:table-row>"));
  };
  Check({
      {"values",
       row("<table:table-cell office:value-type=\"string\" office:string-value=\"attr\">"
           "<text:p>p</text:p></table:table-cell><table:table-cell>"
           "<text:p>  x \n  y  </text:p></table:table-cell><table:table-cell "
           "office:value-type=\"string\" calcext:value-type=\"error\"><text:p>#DIV/0!</text:p>"
           "</table:table-cell><table:table-cell office:value-type=\"string\"><text:p/>"
           "</table:table-cell>"),
       "A1=attr|B1=x y |C1=#DIV/0!"},
      {"dates before 1900-03-01 keep their day; times are days",
       row("<table:table-cell office:value-type=\"date\" office:date-value=\"1900-02-28\"/>"
           "<table:table-cell office:value-type=\"date\" office:date-value=\"1900-01-01\"/>"
           "<table:table-cell office:value-type=\"time\" office:time-value=\"P1DT12H\"/>"
           "<table:table-cell office:value-type=\"time\" office:time-value=\"-PT6H\"/>"
           "<table:table-cell office:value-type=\"time\" office:time-value=\"PT013H45M0.75S\"/>"),
       "A1=1900-02-28|B1=1900-01-01|C1=1900-01-01 12:00:00|D1=-0.25|E1=13:45:01"},
      {"repeats are clamped to the grid and cost nothing when empty",
       Zip(Ods("<table:table-row table:number-rows-repeated=\"1048575\"><table:table-cell "
               "table:number-columns-repeated=\"99999\"/></table:table-row>"
               "<table:table-row table:number-rows-repeated=\"4000000000\"><table:table-cell "
               "table:number-columns-repeated=\"16383\"/><table:table-cell "
               "table:number-columns-repeated=\"3\"><text:p>1</text:p>"
               "</table:table-cell><table:table-cell><text:p>2</text:p></table:table-cell>"
               "</table:table-row><table:table-row><table:table-cell><text:p>3</text:p>"
               "</table:table-cell></table:table-row>")),
       "XFD1048576=1"},
      {"missing active table reads the first",
       Zip(With(Ods("<table:table-row><table:table-cell><text:p>one</text:p></table:table-cell>"
                    "</table:table-row>"),
                "settings.xml",
                "<config:config-item-set xmlns:config=\"urn:oasis:names:tc:opendocument:xmlns:"
                "config:1.0\"><config:config-item config:name=\"ActiveTable\">Two"
                "</config:config-item></config:config-item-set>")),
       "A1=one"},
      {"missing content", Zip(With(Ods(""), "content.xml", nullptr)),
       "refused: missing part content.xml"},
      {"zero repeat", Zip(Ods("<table:table-row table:number-rows-repeated=\"0\"/>")),
       "refused: bad repeat count \"0\""},
      {"negative repeat", row("<table:table-cell table:number-columns-repeated=\"-2\"/>"),
       "refused: bad repeat count \"-2\""},
      {"bad number", row("<table:table-cell office:value-type=\"float\" office:value=\"x\"/>"),
       "refused: content.xml: bad number \"x\""},
      {"bad date", row("<table:table-cell office:value-type=\"date\" office:date-value=\"soon\"/>"),
       "refused: bad date \"soon\""},
      {"unknown error",
       row("<table:table-cell office:value-type=\"string\" calcext:value-type=\"error\">"
           "<text:p>Err:502</text:p></table:table-cell>"),
       "refused: unknown error value \"Err:502\""},
      {"unknown type", row("<table:table-cell office:value-type=\"blob\"/>"),
       "refused: unknown value type"},
      {"malformed", row("<table:table-cell>"), "refused: content.xml: malformed XML"},
      {"spaces without end",
       row("<table:table-cell><text:p>" + spaces + "</text:p></table:table-cell>"),
       "refused: too many spaces (text:s)"},
  });
  for (const char* time : {"PT1D", "PT-1H", "PT1H2", "1H", "PT"}) {
    EXPECT_THAT(Outcome(row("<table:table-cell office:value-type=\"time\" office:time-value=\"" +
                            std::string(time) + "\"/>")),
                HasSubstr("bad time \"" + std::string(time) + "\""));
  }
}

// A flat OpenDocument spreadsheet: `settings` (office:settings content) ahead of a
// body whose tables are named One and Two, holding `one` and `two`.
std::vector<std::uint8_t> Flat(const std::string& settings, const std::string& one,
                               const std::string& two,
                               const std::string& mimetype = "spreadsheet") {
  const std::string ns = "urn:oasis:names:tc:opendocument:xmlns:";
  return TextBytes("<?xml version=\"1.0\"?><office:document xmlns:office=\"" + ns +
                   "office:1.0\" xmlns:table=\"" + ns + "table:1.0\" xmlns:text=\"" + ns +
                   "text:1.0\" xmlns:config=\"" + ns +
                   "config:1.0\" office:mimetype=\"application/vnd.oasis.opendocument." + mimetype +
                   "\"><office:settings>" + settings +
                   "</office:settings><office:body><office:spreadsheet>"
                   "<table:table table:name=\"One\">" +
                   one + "</table:table><table:table table:name=\"Two\">" + two +
                   "</table:table></office:spreadsheet></office:body></office:document>");
}

TEST(OdsReaderTest, FlatDocuments) {
  const auto row = [](const std::string& text) {
    return "<table:table-row><table:table-cell><text:p>" + text +
           "</text:p></table:table-cell></table:table-row>";
  };
  const auto active = [](const std::string& name) {
    return "<config:config-item config:name=\"ActiveTable\">" + name + "</config:config-item>";
  };
  Check({
      {"no settings: the first table", Flat("", row("one"), row("two")), "A1=one"},
      {"a table that is not there: the first", Flat(active("Nine"), row("one"), row("two")),
       "A1=one"},
      {"a text document is no spreadsheet", Flat("", row("one"), row("two"), "text"),
       std::string("refused: ") + kNotOurs},
      {"document type",
       [&] {
         auto bytes = Flat("", row("one"), row("two"));
         const std::string doctype = "<!DOCTYPE office:document [<!ENTITY a \"b\">]>";
         bytes.insert(bytes.begin() + 21, doctype.begin(), doctype.end());
         return bytes;
       }(),
       "refused: XML with a document type declaration is not allowed"},
      {"cut short",
       [&] {
         auto bytes = Flat("", row("one"), row("two"));
         const std::string text(bytes.begin(), bytes.end());
         bytes.resize(text.find("one</text:p>"));  // inside the table read
         return bytes;
       }(),
       "refused: malformed XML"},
  });
}

}  // namespace
}  // namespace zerova::testing
