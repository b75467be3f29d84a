// The .xlsx reader on packages built in memory. Whole real files are compared in
// services/fixtures_test.cpp; this table holds what fixtures cannot show: bad input
// and the edges of the rules.
#include <gtest/gtest.h>

#include <string>

#include "formats/registry.h"
#include "support/office_book.h"

namespace zerova::test {
namespace {

// Cells are decided on a thread of their own, a few thousand at a time, while
// the parser goes on: a bad cell is still told before malformed XML far after
// it, and before malformed XML in the cell after it; the message names the part
// and its sheet.
TEST(XlsxReaderTest, TheFirstFaultInThePartIsTold) {
  std::string rows;
  for (int row = 2; row <= 20000; ++row) rows += "<row><c><v>1</v></c></row>";
  const std::string bad_number =
      "damaged: a cell's value is malformed (xl/worksheets/sheet1.xml: cell A1: bad number \"x\")";
  const std::string malformed = "damaged: a part of it is not well-formed XML";
  Check({
      {"a bad cell, then malformed XML 20,000 rows after",
       Zip(Xlsx("<row><c><v>x</v></c></row>" + rows + "<row><c><</row>")), bad_number},
      {"a bad cell, then malformed XML in the next",
       Zip(Xlsx("<row><c><v>x</v></c><c><</c></row>" + rows)), bad_number},
      {"malformed XML in a bad cell", Zip(Xlsx(rows + "<row><c><v>x</v><</c></row>")), malformed},
      {"a bad cell after 20,000 rows, in a sheet of a name",
       Zip(Xlsx(rows + "<row><c><v>y</v></c></row>",
                "<sheets><sheet name=\"Data\" r:id=\"rId1\"/></sheets>")),
       "damaged: a cell's value is malformed (xl/worksheets/sheet1.xml of sheet \"Data\": cell "
       "A20000: bad number \"y\")"},
  });
}

TEST(XlsxReaderTest, CellsAndRefusals) {
  std::string merged = Sheet("<row><c><v>1</v></c><c><v>2</v></c></row>");
  merged.insert(merged.find("</worksheet>"), "<mergeCells><mergeCell ref=\"A1:B1\"/></mergeCells>");
  Check({
      {"numbers, a style past the list, surrogate escapes",
       Zip(Xlsx("<row r=\"1\"><c r=\"A1\"><v>1E+20</v></c><c r=\"B1\" s=\"99\"><v>2</v></c>"
                "<c r=\"C1\" s=\"1\"/><c r=\"D1\" t=\"inlineStr\"><is><t>_xD83D__xDE00_</t></is>"
                "</c><c r=\"AB1\" t=\"s\"><v>0</v></c></row><row><c r=\"AB2\" "
                "t=\"s\"><v>1</v></c></row>")),
       "A1=1E+20|B1=2|D1=\xF0\x9F\x98\x80|AB1=東京"},
      {"t=\"d\" is a date in any style; days before 1900-03-01 keep their day",
       Zip(Xlsx("<row><c t=\"d\" s=\"0\"><v>1900-02-28</v></c><c t=\"d\"><v>1900-03-01</v></c>"
                "<c t=\"d\"><v>24:00:00</v></c><c t=\"d\"><v>2024-02-29T06:00:00.75+02:00</v>"
                "</c><c t=\"d\"><v>1899-12-30</v></c></row>")),
       "A1=1900-02-28|B1=1900-03-01|C1=1900-01-01|D1=2024-02-29 06:00:01|E1=-1"},
      {"names match ignoring case",
       Zip(With(With(Xlsx(""), "xl/worksheets/sheet1.xml", nullptr), "xl/Worksheets/Sheet1.XML",
                Sheet("<row><c><v>8</v></c></row>").c_str())),
       "A1=8"},
      {"missing shared string", Zip(Xlsx("<row><c r=\"XFD1048576\" t=\"s\"><v>2</v></c></row>")),
       "damaged: a cell refers to a shared string that does not exist (xl/worksheets/sheet1.xml: "
       "cell XFD1048576: shared string 2 is missing)"},
      {"a row past the grid", Zip(Xlsx("<row r=\"1048577\"><c><v>1</v></c></row>")),
       "damaged: a cell lies outside the sheet's 1,048,576 rows and 16,384 columns "
       "(xl/worksheets/sheet1.xml: bad row number \"1048577\")"},
      {"a row and a cell without r reach the last row and column",
       Zip(Xlsx("<row r=\"1048575\"/><row><c r=\"XFC1048576\"><v>1</v></c><c><v>2</v></c></row>")),
       "XFD1048576=2"},
      {"a row without r past the last", Zip(Xlsx("<row r=\"1048576\"/><row><c><v>1</v></c></row>")),
       "damaged: a cell lies outside the sheet's 1,048,576 rows and 16,384 columns "
       "(xl/worksheets/sheet1.xml: more than 1,048,576 rows)"},
      {"a cell without r past the last column",
       Zip(Xlsx("<row><c r=\"XFD1\"><v>1</v></c><c><v>2</v></c></row>")),
       "damaged: a cell lies outside the sheet's 1,048,576 rows and 16,384 columns "
       "(xl/worksheets/sheet1.xml: more than 16,384 cells in row 1)"},
      {"missing part", Zip(With(Xlsx(""), "xl/styles.xml", nullptr)),
       "damaged: a part of it is missing (missing part xl/styles.xml)"},
      {"a cell past the grid", Zip(Xlsx("<row><c r=\"XFE1\"><v>1</v></c></row>")),
       "damaged: a cell lies outside the sheet's 1,048,576 rows and 16,384 columns "
       "(xl/worksheets/sheet1.xml: bad cell reference \"XFE1\")"},
      {"a row number that is none", Zip(Xlsx("<row r=\"01\"><c><v>1</v></c></row>")),
       "damaged: a cell's address is malformed (xl/worksheets/sheet1.xml: bad row number \"01\")"},
      {"bad date", Zip(Xlsx("<row><c t=\"d\"><v>2023-02-29</v></c></row>")),
       "damaged: a cell's value is malformed (xl/worksheets/sheet1.xml: cell A1: bad date "
       "\"2023-02-29\")"},
      {"a style that is no index", Zip(Xlsx("<row><c s=\"x\"><v>1</v></c></row>")),
       "damaged: a cell refers to a cell format that does not exist (xl/worksheets/sheet1.xml: "
       "cell A1: bad style index \"x\")"},
      {"active chartsheet",
       Zip(Xlsx("",
                "<bookViews><workbookView activeTab=\"1\"/></bookViews><sheets><sheet "
                "r:id=\"rId1\"/><sheet name=\"Chart1\" r:id=\"rId2\"/></sheets>")),
       "refused: book.xls: the active sheet \"Chart1\" is a chart, not a worksheet"},
      {"missing relationship", Zip(Xlsx("", "<sheets><sheet r:id=\"rId9\"/></sheets>")),
       "damaged: a part of it is missing (sheet \"\" has no part: its relationship \"rId9\" is "
       "missing)"},
      {"the last <v> or <is> of a cell counts, with its children's text; <rPh> is left out",
       Zip(Xlsx(
           "<row><c><v>1<x>2</x>3</v><f>9</f><v>4</v></c><c t=\"inlineStr\"><is><r><t>a<b>c"
           "</b></t></r><rPh><x/><t>z</t></rPh><t>d</t></is></c><c t=\"str\"><v><![CDATA[<&>]]>"
           "</v></c></row>")),
       "A1=4|B1=acd|C1=<&>"},
      {"<sheetData> in any namespace; rows and cells only in SpreadsheetML's",
       Zip(With(Xlsx(""), "xl/worksheets/sheet1.xml",
                "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                "xmlns:o=\"urn:o\"><o:sheetData><row><c><v>1</v></c></row></o:sheetData>"
                "<sheetData><o:row><c><v>2</v></c></o:row><row><o:c><v>3</v></o:c>"
                "<c r=\"C2\"><v>5</v></c><c xmlns=\"\" r=\"D2\"><v>7</v></c></row></sheetData>"
                "</worksheet>")),
       "A1=1|B1=2|C2=5"},
      {"an ampersand in an attribute", Zip(Xlsx("<row><c r=\"A&amp;1\"><v>1</v></c></row>")),
       "damaged: a cell's address is malformed (xl/worksheets/sheet1.xml: bad cell reference "
       "\"A&1\")"},
      {"malformed XML in the sheet", Zip(Xlsx("<row><c><v>1</v></c>\n</sheetData>")),
       "refused: book.xls: the file is damaged: a part of it is not well-formed XML "
       "(xl/worksheets/sheet1.xml: line 2: an end tag does not match its start tag; libxml2 "
       "error 76)"},
      {"malformed XML in the shared strings",
       Zip(Xlsx("<row><c><v>1</v></c></row>", kOneSheet, "<si><t>x</t>")),
       "refused: book.xls: the file is damaged: a part of it is not well-formed XML "
       "(xl/sharedStrings.xml: line 1: an end tag does not match its start tag; libxml2 error "
       "76)"},
      {"no workbook relationships: the parts by their usual names",
       Zip(With(Xlsx("<row><c t=\"s\"><v>0</v></c><c s=\"1\"><v>45000</v></c></row>"),
                "xl/_rels/workbook.xml.rels", nullptr)),
       "A1=東京|B1=2023-03-15"},
      {"no workbook relationships and no part where the active sheet's would be",
       Zip(With(Xlsx("",
                     "<bookViews><workbookView activeTab=\"1\"/></bookViews><sheets><sheet "
                     "r:id=\"rId1\"/><sheet r:id=\"rId2\"/></sheets>"),
                "xl/_rels/workbook.xml.rels", nullptr)),
       "damaged: a part of it is missing (missing part xl/worksheets/sheet2.xml)"},
      {"a cell under a merged range is read as written",
       Zip(With(Xlsx(""), "xl/worksheets/sheet1.xml", merged.c_str())), "A1=1|B1=2"},
      {"a workbook of word processing",
       Zip(With(Xlsx(""), "xl/workbook.xml",
                "<w:workbook "
                "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"/>")),
       "refused: not a spreadsheet file this program reads (.xls, .xlsx, .xlsm, .xlsb, .ods"},
      {"a worksheet where the workbook should be",
       Zip(With(
           Xlsx(""), "xl/workbook.xml",
           "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"/>")),
       "refused: not a spreadsheet file this program reads (.xls, .xlsx, .xlsm, .xlsb, .ods"},
  });
}

// A sheet's state counts wherever it stands among its attributes, and unprefixed only.
TEST(XlsxReaderTest, ASheetIsHiddenByItsState) {
  const std::vector<std::uint8_t> bytes =
      Zip(Xlsx("",
               "<sheets><sheet state=\"hidden\" name=\"A\" r:id=\"rId1\"/><sheet "
               "xmlns:x=\"urn:x\" x:state=\"hidden\" name=\"C\" r:id=\"rId2\"/></sheets>"));
  const auto book = OpenWorkbook(WorkbookSource::View(bytes, "book.xlsx", nullptr));
  EXPECT_EQ(book->Sheets().at(0).visibility, SheetVisibility::kHidden);
  EXPECT_EQ(book->Sheets().at(1).visibility, SheetVisibility::kVisible);
}

}  // namespace
}  // namespace zerova::test
