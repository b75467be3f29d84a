// The XML Spreadsheet 2003 reader on workbooks written here: data types, styles,
// numbering of rows and cells, the active sheet, and bad input.
#include <gtest/gtest.h>

#include <string>

#include "formats/xml2003/styles.h"
#include "support/office_book.h"

namespace zerova::testing {
namespace {

// A workbook whose worksheets hold `tables`, each a <Table>'s content, after `head`
// (ExcelWorkbook, Styles).
std::vector<std::uint8_t> Book(const std::vector<std::string>& tables,
                               const std::string& head = "") {
  std::string xml =
      "<?xml version=\"1.0\"?>\n<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\""
      " xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\""
      " xmlns:x=\"urn:schemas-microsoft-com:office:excel\">" +
      head;
  for (const std::string& table : tables) {
    xml += "<Worksheet ss:Name=\"S\"><Table>" + table + "</Table></Worksheet>";
  }
  return TextBytes(xml + "</Workbook>");
}

std::vector<std::uint8_t> Book(const std::string& table) {
  return Book(std::vector<std::string>{table});
}

std::string Data(const std::string& type, const std::string& value,
                 const std::string& attributes = "") {
  return "<Cell" + attributes + "><Data ss:Type=\"" + type + "\">" + value + "</Data></Cell>";
}

std::string Row(const std::string& cells, const std::string& attributes = "") {
  return "<Row" + attributes + ">" + cells + "</Row>";
}

std::string Styles(const std::string& styles) { return "<Styles>" + styles + "</Styles>"; }

std::string Style(const std::string& id, const std::string& inner,
                  const std::string& attributes = "") {
  return "<Style ss:ID=\"" + id + "\"" + attributes + ">" + inner + "</Style>";
}

std::string Format(const std::string& format) {
  return "<NumberFormat ss:Format=\"" + format + "\"/>";
}

TEST(Xml2003ReaderTest, CellsSheetsAndRefusals) {
  const std::string one = Data("Number", "1");
  const std::string date_styles = Styles(
      Style("d", Format("General Date")) + Style("f", Format("Fixed")) +
      Style("c", "", " ss:Parent=\"d\"") + Style("y", Format("Yes/No")) +
      Style("loop1", "", " ss:Parent=\"loop2\"") + Style("loop2", "", " ss:Parent=\"loop1\""));
  const auto styled = [&](const std::string& id) {
    return Data("Number", "1", " ss:StyleID=\"" + id + "\"");
  };
  Check({
      {"data types",
       Book(Row(Data("Number", " +1.5 ") + Data("Boolean", "0") + Data("DateTime", "") + "<Cell/>" +
                Data("String", "after gaps"))),
       "A1=1.5|B1=False|E1=after gaps"},
      {"named formats, parents, the row's style and the Default style",
       Book({Row(styled("d") + styled("f") + styled("c") + styled("y") + styled("loop1") + one,
                 " ss:StyleID=\"d\"")},
            date_styles),
       "A1=1900-01-01|B1=1|C1=1900-01-01|D1=1|E1=1|F1=1900-01-01"},
      {"the Default style", Book({Row(one)}, Styles(Style("Default", Format("Short Date")))),
       "A1=1900-01-01"},
      {"the grid's last cell, and what lies past it",
       Book(Row(Data("String", "corner", " ss:Index=\"16384\"") + Data("String", "past"),
                " ss:Index=\"1048576\"") +
            Row(Data("String", "beyond")) +
            Row(Data("String", "far"), " ss:Index=\"99999999999999999999999\"")),
       "XFD1048576=corner"},
      {"merges: across moves the next cell, down moves nothing",
       Book(Row(Data("String", "a", " ss:MergeAcross=\"1\" ss:MergeDown=\"1\"") +
                Data("String", "b")) +
            Row(Data("String", "c")) +
            Row(Data("String", "d", " ss:MergeAcross=\"99999999999999999\"") +
                Data("String", "gone"))),
       "A1=a|C1=b|A2=c|A3=d"},
      {"attributes without their prefix",
       Book(Row("<Cell Index=\"3\"><Data Type=\"Number\">5</Data></Cell>")), "C1=5"},
      {"an active sheet past the last reads the first",
       Book({Row(Data("String", "first")), Row(Data("String", "second"))},
            "<x:ExcelWorkbook><x:ActiveSheet>7</x:ActiveSheet></x:ExcelWorkbook>"),
       "A1=first"},
      {"document type",
       TextBytes("<!DOCTYPE Workbook [<!ENTITY a \"lol\">]><Workbook "
                 "xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\"/>"),
       "refused: XML with a document type declaration is not allowed"},
      {"cut short",
       [&] {
         auto bytes = Book(Row(Data("String", "a")));
         bytes.resize(bytes.size() - 40);
         return bytes;
       }(),
       "refused: malformed XML"},
      {"no worksheet",
       TextBytes("<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\"/>"),
       "refused: the workbook has no worksheets"},
      {"cell index 0", Book(Row(Data("String", "a", " ss:Index=\"0\""))),
       "refused: bad cell index \"0\""},
      {"row index", Book(Row(one, " ss:Index=\"-2\"")), "refused: bad row index \"-2\""},
      {"number", Book(Row(Data("Number", "1,5"))), "refused: bad number \"1,5\""},
      {"boolean", Book(Row(Data("Boolean", "TRUE"))), "refused: bad boolean \"TRUE\""},
      {"error", Book(Row(Data("Error", "#OOPS"))), "refused: unknown error value \"#OOPS\""},
      {"type", Book(Row(Data("Blob", "x"))), "refused: unknown data type \"Blob\""},
      {"date", Book(Row(Data("DateTime", "soon"))), "refused: bad date \"soon\""},
  });
}

// The names the cells above and the xml2003-cells fixture leave out.
TEST(Xml2003ReaderTest, NamedNumberFormats) {
  for (const char* date : {"long date", "Medium Date", "Medium Time", "Short Time", "[h]:mm:ss"}) {
    EXPECT_TRUE(IsXml2003DateFormat(date)) << date;
  }
  for (const char* other : {"General", "General Number", "Scientific", "Euro Currency",
                            "True/False", "On/Off", "0.00%", "#,##0.00\\ \"days\""}) {
    EXPECT_FALSE(IsXml2003DateFormat(other)) << other;
  }
}

}  // namespace
}  // namespace zerova::testing
