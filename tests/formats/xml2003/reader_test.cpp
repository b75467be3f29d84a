// The XML Spreadsheet 2003 reader on workbooks written here: data types, styles,
// numbering of rows and cells, the active sheet, and bad input.
#include <gtest/gtest.h>

#include <string>

#include "formats/registry.h"
#include "support/office_book.h"

namespace zerova::test {
namespace {

std::string Data(const std::string& type, const std::string& value,
                 const std::string& attributes = "") {
  return "<Cell" + attributes + "><Data ss:Type=\"" + type + "\">" + value + "</Data></Cell>";
}

std::string Row(const std::string& cells, const std::string& attributes = "") {
  return "<Row" + attributes + ">" + cells + "</Row>";
}

TEST(Xml2003ReaderTest, CellsSheetsAndRefusals) {
  const std::string one = Data("Number", "1");
  std::string deep = "<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\">";
  for (int level = 0; level < 258; ++level) deep += "<a>";  // past libxml2's depth
  const std::string date_styles =
      R"(<Styles><Style ss:ID="d"><NumberFormat ss:Format="General Date"/></Style>)"
      R"(<Style ss:ID="f"><NumberFormat ss:Format="Fixed"/></Style><Style ss:ID="c" ss:Parent="d"/>)"
      R"(<Style ss:ID="y"><NumberFormat ss:Format="Yes/No"/></Style>)"
      R"(<Style ss:ID="loop1" ss:Parent="loop2"/><Style ss:ID="loop2" ss:Parent="loop1"/></Styles>)";
  const auto styled = [&](const std::string& id) {
    return Data("Number", "1", " ss:StyleID=\"" + id + "\"");
  };
  Check({
      {"named formats, parents, a loop of parents, the row's style",
       Xml2003({Row(styled("d") + styled("f") + styled("c") + styled("y") + styled("loop1") + one,
                    " ss:StyleID=\"d\"")},
               date_styles),
       "A1=1900-01-01|B1=1|C1=1900-01-01|D1=1|E1=1|F1=1900-01-01"},
      {"the grid's last cell, and what lies past it",
       Xml2003({Row(Data("String", "corner", " ss:Index=\"16384\"") + Data("String", "past"),
                    " ss:Index=\"1048576\"") +
                Row(Data("String", "beyond")) +
                Row(Data("String", "far"), " ss:Index=\"99999999999999999999999\"")}),
       "XFD1048576=corner"},
      {"a merge past the grid",
       Xml2003({Row(Data("String", "d", " ss:MergeAcross=\"99999999999999999\"") +
                    Data("String", "gone"))}),
       "A1=d"},
      {"an active sheet past the last reads the first",
       Xml2003({Row(Data("String", "first")), Row(Data("String", "second"))},
               "<x:ExcelWorkbook><x:ActiveSheet>7</x:ActiveSheet></x:ExcelWorkbook>"),
       "A1=first"},
      {"no worksheet",
       TextBytes("<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\"/>"),
       "damaged: the workbook holds no sheets (no Worksheet element)"},
      {"a date without its time", Xml2003({Row(Data("DateTime", "2023-13-01"))}),
       "damaged: a cell's value is malformed (line "},
      {"number", Xml2003({Row(Data("Number", "1,5"))}),
       "damaged: a cell's value is malformed (line "},
      {"a cell's text past the program's limit",
       Xml2003({Row(Data("String", std::string(10'000'001, 'x')))}),
       "refused: a cell's text is longer than this program's limit of 10,000,000 bytes (line 2)"},
      {"nested past libxml2's depth", TextBytes(deep),
       "damaged: its XML is nested deeper than 257 levels (line 1"},
  });
}

// A worksheet is hidden by WorksheetOptions' Visible in Excel's namespace alone.
TEST(Xml2003ReaderTest, AWorksheetIsHiddenByItsOptions) {
  const auto options = [](const char* visible) {
    return std::string("<Worksheet ss:Name=\"S\"><Table/><WorksheetOptions xmlns=\"") +
           "urn:schemas-microsoft-com:office:excel\">" + visible +
           "</WorksheetOptions></Worksheet>";
  };
  const std::vector<std::uint8_t> bytes = TextBytes(
      "<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\" "
      "xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\">" +
      options("<Visible>SheetHidden</Visible>") +
      options("<ss:Visible>SheetHidden</ss:Visible><Other>SheetHidden</Other>") + "</Workbook>");
  const auto book = OpenWorkbook(WorkbookSource::View(bytes, "book.xml", nullptr));
  EXPECT_EQ(book->Sheets().at(0).visibility, SheetVisibility::kHidden);
  EXPECT_EQ(book->Sheets().at(1).visibility, SheetVisibility::kVisible);
}

}  // namespace
}  // namespace zerova::test
