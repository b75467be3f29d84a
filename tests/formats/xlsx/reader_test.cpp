// The .xlsx reader on packages built in memory. Whole real files are compared in
// services/fixtures_test.cpp; this table holds what fixtures cannot show: bad input
// and the edges of the rules.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "support/office_book.h"

namespace zerova::testing {
namespace {

using ::testing::HasSubstr;

TEST(XlsxReaderTest, CellsAndRefusals) {
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
      {"no shared strings or styles",
       Zip(Xlsx("<row><c s=\"1\"><v>7</v></c></row>", kOneSheet, {})), "A1=7"},
      {"names match ignoring case",
       Zip(With(With(Xlsx(""), "xl/worksheets/sheet1.xml", nullptr), "xl/Worksheets/Sheet1.XML",
                Sheet("<row><c><v>8</v></c></row>").c_str())),
       "A1=8"},
      {"missing shared string", Zip(Xlsx("<row><c r=\"XFD1048576\" t=\"s\"><v>2</v></c></row>")),
       "refused: xl/worksheets/sheet1.xml: cell XFD1048576: shared string 2 is missing"},
      {"negative shared string", Zip(Xlsx("<row><c t=\"s\"><v>-1</v></c></row>")),
       "refused: cell A1: bad shared string index \"-1\""},
      {"bad row", Zip(Xlsx("<row r=\"1048577\"><c><v>1</v></c></row>")),
       "refused: bad row number \"1048577\""},
      {"unknown error", Zip(Xlsx("<row><c t=\"e\"><v>#BAD!</v></c></row>")),
       "refused: cell A1: unknown error value \"#BAD!\""},
      {"bad number", Zip(Xlsx("<row><c><v>1,5</v></c></row>")), "refused: bad number \"1,5\""},
      {"bad boolean", Zip(Xlsx("<row><c t=\"b\"><v>2</v></c></row>")), "refused: bad boolean"},
      {"unknown type", Zip(Xlsx("<row><c t=\"x\"><v>2</v></c></row>")),
       "refused: unknown cell type \"x\""},
      {"malformed", Zip(Xlsx("<row><c><v>1</v></row>")), "refused: sheet1.xml: malformed XML"},
      {"active tab past the sheets reads the first",
       Zip(Xlsx("<row><c t=\"inlineStr\"><is><t>a</t></is></c></row>",
                "<bookViews><workbookView activeTab=\"3\"/></bookViews>" + std::string(kOneSheet))),
       "A1=a"},
      {"active chartsheet",
       Zip(Xlsx("",
                "<bookViews><workbookView activeTab=\"1\"/></bookViews><sheets><sheet "
                "r:id=\"rId1\"/><sheet name=\"Chart1\" r:id=\"rId2\"/></sheets>")),
       "refused: book.xls: the active sheet \"Chart1\" is a chart, not a worksheet"},
      {"no sheets", Zip(Xlsx("", "<sheets/>")), "refused: the workbook has no sheets"},
      {"missing relationship", Zip(Xlsx("", "<sheets><sheet r:id=\"rId9\"/></sheets>")),
       "refused: relationship \"rId9\" is missing"},
      {"a word-processing document",
       Zip(With(Xlsx(""), "xl/workbook.xml",
                "<w:document "
                "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"/>")),
       "refused: not a spreadsheet file this program reads (.xls, .xlsx, .xlsm, .xlsb, .ods"},
  });
  for (const char* part : {"xl/worksheets/sheet1.xml", "xl/sharedStrings.xml", "xl/styles.xml",
                           "xl/_rels/workbook.xml.rels", "xl/workbook.xml"}) {
    EXPECT_EQ(Outcome(Zip(With(Xlsx(""), part, nullptr))),
              std::string("refused: book.xls: missing part ") + part);
  }
  for (const char* r : {"1A", "A01", "XFE1", "A1B"}) {
    EXPECT_THAT(Outcome(Zip(Xlsx("<row><c r=\"" + std::string(r) + "\"><v>1</v></c></row>"))),
                HasSubstr("bad cell reference \"" + std::string(r) + "\""));
  }
  for (const char* date : {"24-01-01", "2024-1-1", "2023-02-29", "2024-01-01T25:00",
                           "2024-01-01T10:00:00+2", "24:00:01"}) {
    EXPECT_THAT(Outcome(Zip(Xlsx("<row><c t=\"d\"><v>" + std::string(date) + "</v></c></row>"))),
                HasSubstr("bad date \"" + std::string(date) + "\""));
  }
}

}  // namespace
}  // namespace zerova::testing
