// Cells past Excel's 1,048,576 rows and 16,384 columns in the formats that can
// hold them: dropped as Excel drops them, and the sheet says so, but only when
// something was there (the empty rows and cells that writers repeat to the
// sheet's edge are no loss).
#include <gtest/gtest.h>

#include <string>

#include "formats/html/table_layout.h"
#include "services/error.h"
#include "support/document.h"
#include "support/office_book.h"

namespace zerova::test {
namespace {

std::string Repeat(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

std::string OdsCell(const char* value, const char* repeat = nullptr) {
  return std::string("<table:table-cell") +
         (repeat ? std::string(" table:number-columns-repeated=\"") + repeat + "\"" : "") +
         (value ? std::string(" office:value-type=\"string\"><text:p>") + value +
                      "</text:p></table:table-cell>"
                : "/>");
}

std::string OdsRow(const std::string& cells, const char* repeat = nullptr) {
  return std::string("<table:table-row") +
         (repeat ? std::string(" table:number-rows-repeated=\"") + repeat + "\"" : "") + ">" +
         cells + "</table:table-row>";
}

// "rows", "columns", "rows and columns" or "" for what a sheet says it dropped,
// and the cell in A1, which every sheet here holds.
std::string Dropped(const std::vector<std::uint8_t>& bytes) {
  std::unique_ptr<Worksheet> sheet;
  try {
    sheet = ReadActiveSheet(bytes, "book");
  } catch (const Error& e) {
    return std::string("refused: ") + e.what();
  }
  EXPECT_EQ(sheet->Cell(1, 1).text, "a");
  const SheetClipping clipped = sheet->Clipped();
  if (clipped.rows && clipped.columns) return "rows and columns";
  return clipped.rows ? "rows" : clipped.columns ? "columns" : "";
}

TEST(SheetLimitsTest, WhatLiesPastTheSheetIsDroppedAndNotedWhenItHeldSomething) {
  // Two records each, as the sniff of delimited text wants.
  const std::string wide_csv = "a" + Repeat(",v", 16384) + "\nb,w\n";
  const std::string a = OdsCell("a");
  const struct {
    const char* what;
    std::vector<std::uint8_t> bytes;
    const char* dropped;
  } rows[] = {
      {"CSV: field 16,385", TextBytes(wide_csv), "columns"},
      {"CSV: field 16,385 empty", TextBytes("a" + Repeat(",v", 16383) + ",\nb,w\n"), ""},
      {"CSV: row 1,048,577", TextBytes("a,b\n" + Repeat(",\n", 1048575) + "x,\n"), "rows"},
      {"CSV: empty lines past row 1,048,576", TextBytes("a,b\n" + Repeat(",\n", 1048576)), ""},
      {"ODS: a value repeated past XFD", Zip(Ods(OdsRow(a + OdsCell("v", "16384")))), "columns"},
      {"ODS: a value after 16,383 empty cells",
       Zip(Ods(OdsRow(a + OdsCell(nullptr, "16383") + OdsCell("v")))), "columns"},
      {"ODS: empty cells to the edge and past it, as LibreOffice writes them",
       Zip(Ods(OdsRow(a + OdsCell(nullptr, "16384")) +
               OdsRow(OdsCell(nullptr, "16384"), "1048576"))),
       ""},
      {"ODS: a value in row 1,048,577",
       Zip(Ods(OdsRow(a) + OdsRow(OdsCell(nullptr), "1048575") + OdsRow(OdsCell("v")))), "rows"},
      {"ODS: a row of values repeated to the last row",
       Zip(Ods(OdsRow(a) + OdsRow(OdsCell("v"), "1048575"))), ""},
      {"ODS: a row of values repeated past the last row",
       Zip(Ods(OdsRow(a) + OdsRow(OdsCell("v"), "1048576"))), "rows"},
      {"XML 2003: a cell at column 16,385",
       Xml2003({"<Row><Cell><Data ss:Type=\"String\">a</Data></Cell>"
                "<Cell ss:Index=\"16385\"><Data ss:Type=\"String\">v</Data></Cell></Row>"}),
       "columns"},
      {"XML 2003: a row at 1,048,577 and a cell past XFD",
       Xml2003({"<Row><Cell><Data ss:Type=\"String\">a</Data></Cell>"
                "<Cell ss:Index=\"20000\"><Data ss:Type=\"Number\">1</Data></Cell></Row>"
                "<Row ss:Index=\"1048577\"><Cell><Data ss:Type=\"String\">v</Data></Cell></Row>"}),
       "rows and columns"},
      {"XML 2003: empty rows and cells past the edge",
       Xml2003({"<Row><Cell><Data ss:Type=\"String\">a</Data></Cell><Cell ss:Index=\"16385\"/>"
                "</Row><Row ss:Index=\"1048577\"><Cell><Data ss:Type=\"String\"></Data></Cell>"
                "</Row>"}),
       ""},
      {"HTML: cell 16,385 after spans",
       TextBytes("<table><tr><td>a</td>" + Repeat("<td colspan=\"1000\"></td>", 16) +
                 Repeat("<td></td>", 383) + "<td>v</td></tr></table>"),
       "columns"},
  };
  for (const auto& row : rows) EXPECT_EQ(Dropped(row.bytes), row.dropped) << row.what;
}

// Rows past the last one, as a table's rows count them.
TEST(SheetLimitsTest, AnHtmlCellBelowTheLastRowIsNoted) {
  for (const bool text : {false, true}) {
    TableLayout layout;
    for (int row = 1; row <= 1048577; ++row) {
      layout.StartRow();
      layout.StartCell("", "");
      layout.EndCell(row == 1 ? "a" : row == 1048577 && text ? "v" : "");
    }
    EXPECT_EQ(layout.Finish()->Clipped().rows, text);
  }
}

}  // namespace
}  // namespace zerova::test
