// The .ods reader on packages built in memory: what the .ods/.fods fixtures do not
// reach (value edges, huge repeats, the active table) and a few refusals.
#include <gtest/gtest.h>

#include <string>

#include "formats/registry.h"
#include "support/office_book.h"

namespace zerova::test {
namespace {

TEST(OdsReaderTest, CellsAndRefusals) {
  std::string spaces;  // 2000 × 99999999 spaces: far more than any text may hold
  for (int i = 0; i < 2000; ++i) spaces += "<text:s text:c=\"99999999\"/>";
  auto row = [](const std::string& cells) {
    return Zip(Ods("<table:table-row>" + cells + "</table:table-row>"));
  };
  Check({
      {"a mimetype with white space after it",
       Zip(With(Ods("<table:table-row><table:table-cell><text:p>a</text:p></table:table-cell>"
                    "</table:table-row>"),
                "mimetype", "application/vnd.oasis.opendocument.spreadsheet \r\n")),
       "A1=a"},
      {"an annotation beside the paragraph, as LibreOffice writes it, is left out",
       row("<table:table-cell office:value-type=\"string\"><office:annotation><text:p>note</text:p>"
           "</office:annotation><text:p>shown</text:p></table:table-cell>"),
       "A1=shown"},
      {"values",
       row("<table:table-cell office:value-type=\"string\" office:string-value=\"attr\">"
           "<text:p>p</text:p></table:table-cell><table:table-cell>"
           "<text:p>  x \n  y  </text:p></table:table-cell><table:table-cell "
           "office:value-type=\"string\" calcext:value-type=\"error\"><text:p>#DIV/0!</text:p>"
           "</table:table-cell><table:table-cell office:value-type=\"string\"><text:p/>"
           "</table:table-cell>"),
       "A1=attr|B1=x y |C1=#DIV/0!"},
      {"a covered cell is read as written, as a cell under a merged range in .xlsx",
       row("<table:table-cell table:number-columns-spanned=\"3\"><text:p>a</text:p>"
           "</table:table-cell><table:covered-table-cell><text:p>b</text:p>"
           "</table:covered-table-cell><table:covered-table-cell office:value-type=\"float\" "
           "office:value=\"2\"/><table:covered-table-cell/><table:table-cell><text:p>e</text:p>"
           "</table:table-cell>"),
       "A1=a|B1=b|C1=2|E1=e"},
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
      {"zero repeat", Zip(Ods("<table:table-row table:number-rows-repeated=\"0\"/>")),
       "damaged: a table is malformed (content.xml: line 1: bad repeat count \"0\")"},
      {"a repeat count and more", Zip(Ods("<table:table-row table:number-rows-repeated=\"2x\"/>")),
       "damaged: a table is malformed (content.xml: line 1: bad repeat count \"2x\")"},
      {"bad number", row("<table:table-cell office:value-type=\"float\" office:value=\"x\"/>"),
       "damaged: a cell's value is malformed (content.xml: line 1: bad number \"x\")"},
      {"unknown error",
       row("<table:table-cell office:value-type=\"string\" calcext:value-type=\"error\">"
           "<text:p>Err:502</text:p></table:table-cell>"),
       "damaged: a cell's value is malformed (content.xml: line 1: unknown error value "
       "\"Err:502\")"},
      {"spaces without end",
       row("<table:table-cell><text:p>" + spaces + "</text:p></table:table-cell>"),
       "refused: too many spaces (text:s)"},
  });
}

// A table is hidden by a table style in office:styles or office:automatic-styles,
// whichever comes first; a table style that does not hide leaves its tables shown.
TEST(OdsReaderTest, AHiddenTableStyleCountsInEitherStylesElement) {
  const std::string style =
      "<style:style style:name=\"h\" style:family=\"table\"><style:table-properties "
      "table:display=\"false\"/></style:style>";
  const std::string other =  // and a table style that shows its tables
      "<style:style style:name=\"p\" style:family=\"paragraph\"/><style:style style:name=\"v\" "
      "style:family=\"table\"><style:table-properties table:display=\"true\"/></style:style>";
  for (const bool automatic : {false, true}) {
    const std::vector<std::uint8_t> fods = TextBytes(
        "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
        "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
        "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" office:mimetype=\""
        "application/vnd.oasis.opendocument.spreadsheet\"><office:styles>" +
        (automatic ? other : style) + "</office:styles><office:automatic-styles>" +
        (automatic ? style : other) +
        "</office:automatic-styles><office:body><office:spreadsheet><table:table "
        "table:name=\"A\" table:style-name=\"v\"/><table:table table:name=\"B\" "
        "table:style-name=\"h\"/>"
        "</office:spreadsheet></office:body></office:document>");
    const auto book = OpenWorkbook(WorkbookSource::View(fods, "book.fods", nullptr));
    EXPECT_EQ(book->Sheets().at(1).visibility, SheetVisibility::kHidden) << automatic;
    EXPECT_EQ(book->Sheets().at(0).visibility, SheetVisibility::kVisible) << automatic;
  }
}

}  // namespace
}  // namespace zerova::test
