// The .xlsx reader on packages built in memory. Whole real files are compared in
// services/fixtures_test.cpp; this table holds what fixtures cannot show: bad input
// and the edges of the rules.
#include <gtest/gtest.h>

#include "support/office_book.h"

namespace zerova::test {
namespace {

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
       "refused: xl/worksheets/sheet1.xml: cell XFD1048576: shared string 2 is missing"},
      {"bad row", Zip(Xlsx("<row r=\"1048577\"><c><v>1</v></c></row>")),
       "refused: bad row number \"1048577\""},
      {"missing part", Zip(With(Xlsx(""), "xl/styles.xml", nullptr)),
       "damaged: a part of it is missing (missing part xl/styles.xml)"},
      {"bad cell reference", Zip(Xlsx("<row><c r=\"XFE1\"><v>1</v></c></row>")),
       "refused: bad cell reference \"XFE1\""},
      {"bad date", Zip(Xlsx("<row><c t=\"d\"><v>2023-02-29</v></c></row>")),
       "refused: bad date \"2023-02-29\""},
      {"active chartsheet",
       Zip(Xlsx("",
                "<bookViews><workbookView activeTab=\"1\"/></bookViews><sheets><sheet "
                "r:id=\"rId1\"/><sheet name=\"Chart1\" r:id=\"rId2\"/></sheets>")),
       "refused: book.xls: the active sheet \"Chart1\" is a chart, not a worksheet"},
      {"missing relationship", Zip(Xlsx("", "<sheets><sheet r:id=\"rId9\"/></sheets>")),
       "damaged: a part of it is missing (sheet \"\" has no part: its relationship \"rId9\" is "
       "missing)"},
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
      {"a word-processing document",
       Zip(With(Xlsx(""), "xl/workbook.xml",
                "<w:document "
                "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"/>")),
       "refused: not a spreadsheet file this program reads (.xls, .xlsx, .xlsm, .xlsb, .ods"},
  });
}

}  // namespace
}  // namespace zerova::test
