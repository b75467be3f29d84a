// The .xlsx reader, on packages built in memory: cell kinds, addresses, the
// workbook's settings, and refusals of bad input with a one-line ReadError.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "conversion/cell_text.h"
#include "services/error.h"
#include "services/spreadsheet.h"
#include "support/zip_builder.h"

namespace zerova {
namespace {

constexpr const char* kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr const char* kRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr const char* kStrictMain = "http://purl.oclc.org/ooxml/spreadsheetml/main";
constexpr const char* kStrictRel = "http://purl.oclc.org/ooxml/officeDocument/relationships";

// A one- or two-sheet workbook whose parts a test can replace one by one.
struct Xlsx {
  std::string main = kMain;
  std::string rel = kRel;
  std::string workbook_inner = "<sheets><sheet name=\"S\" sheetId=\"1\" r:id=\"rId1\"/></sheets>";
  std::string sheet_data;  // the inside of <sheetData>
  std::string shared_strings = "<si><t>shared</t></si>";
  std::string styles =
      "<numFmts><numFmt numFmtId=\"164\" formatCode=\"yyyy-mm-dd\"/>"
      "<numFmt numFmtId=\"165\" formatCode=\"0.00\"/></numFmts>"
      "<cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/><xf numFmtId=\"164\"/>"
      "<xf numFmtId=\"165\"/></cellXfs>";
  std::string sheet2_data;
  std::string sheet_type = "worksheet";

  std::string Rels(const std::string& kind, const std::string& target,
                   const std::string& id) const {
    return "<Relationship Id=\"" + id + "\" Type=\"" + rel + "/" + kind + "\" Target=\"" + target +
           "\"/>";
  }

  testing::ZipBuilder Builder() const {
    testing::ZipBuilder zip;
    const std::string package =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    zip.Add("[Content_Types].xml", "<Types/>");
    zip.Add("_rels/.rels",
            package + Rels("officeDocument", "xl/workbook.xml", "rId1") + "</Relationships>");
    zip.Add("xl/workbook.xml", "<workbook xmlns=\"" + main + "\" xmlns:r=\"" + rel + "\">" +
                                   workbook_inner + "</workbook>");
    zip.Add("xl/_rels/workbook.xml.rels",
            package + Rels(sheet_type, "worksheets/sheet1.xml", "rId1") +
                Rels("worksheet", "/xl/worksheets/sheet2.xml", "rId2") +
                Rels("sharedStrings", "sharedStrings.xml", "rId3") +
                Rels("styles", "./styles.xml", "rId4") + "</Relationships>");
    zip.Add("xl/worksheets/sheet1.xml", "<worksheet xmlns=\"" + main + "\"><sheetData>" +
                                            sheet_data + "</sheetData></worksheet>");
    zip.Add("xl/worksheets/sheet2.xml", "<worksheet xmlns=\"" + main + "\"><sheetData>" +
                                            sheet2_data + "</sheetData></worksheet>");
    zip.Add("xl/sharedStrings.xml", "<sst xmlns=\"" + main + "\">" + shared_strings + "</sst>");
    zip.Add("xl/styles.xml", "<styleSheet xmlns=\"" + main + "\">" + styles + "</styleSheet>");
    return zip;
  }

  std::unique_ptr<Worksheet> Read() const {
    const std::vector<std::uint8_t> bytes = Builder().Bytes();
    return ReadWorkbookBytes(bytes, "book.xlsx");
  }
};

// The text of A1 when the sheet holds `cell` alone.
std::string TextOfCell(const std::string& cell) {
  Xlsx xlsx;
  xlsx.sheet_data = "<row r=\"1\">" + cell + "</row>";
  return CellText(xlsx.Read()->Cell(1, 1));
}

TEST(XlsxReaderTest, EachCellKindBecomesItsText) {
  struct Case {
    const char* cell;
    const char* text;
  };
  const Case cases[] = {
      {"<c r=\"A1\"><v>1.5</v></c>", "1.5"},
      {"<c r=\"A1\" t=\"n\"><v>-0</v></c>", "0"},
      {"<c r=\"A1\"><v>1E+20</v></c>", "1E+20"},
      {"<c r=\"A1\" t=\"s\"><v>0</v></c>", "shared"},
      {"<c r=\"A1\" t=\"inlineStr\"><is><t>in</t></is></c>", "in"},
      {"<c r=\"A1\" t=\"inlineStr\"><is><r><t>a</t></r><r><rPr><b/></rPr><t> b</t></r></is></c>",
       "a b"},
      {"<c r=\"A1\" t=\"str\"><f>A2&amp;\"x\"</f><v>x&lt;y</v></c>", "x<y"},
      {"<c r=\"A1\" t=\"str\"><f>\"\"</f><v></v></c>", ""},
      {"<c r=\"A1\" t=\"b\"><v>1</v></c>", "True"},
      {"<c r=\"A1\" t=\"b\"><f>1=2</f><v>0</v></c>", "False"},
      {"<c r=\"A1\" t=\"e\"><v>#DIV/0!</v></c>", "#DIV/0!"},
      {"<c r=\"A1\" t=\"e\"><v>#N/A</v></c>", "#N/A"},
      {"<c r=\"A1\" t=\"d\"><v>2024-03-01T12:30:00</v></c>", "2024-03-01 12:30:00"},
      {"<c r=\"A1\" t=\"d\" s=\"3\"><v>2024-03-01</v></c>", "2024-03-01"},
      {"<c r=\"A1\" t=\"d\"><v>1900-02-28</v></c>", "1900-02-28"},
      {"<c r=\"A1\" s=\"1\"><v>45352.5</v></c>", "2024-03-01 12:00:00"},
      {"<c r=\"A1\" s=\"2\"><v>60</v></c>", "1900-02-29"},
      {"<c r=\"A1\" s=\"3\"><v>45352.5</v></c>", "45352.5"},
      {"<c r=\"A1\" s=\"99\"><v>2</v></c>", "2"},
      {"<c r=\"A1\" t=\"inlineStr\"><is><t>a_x000D__x000A_b_x005F_x0041_</t></is></c>",
       "a\r\nb_x0041_"},
      {"<c r=\"A1\" t=\"inlineStr\"><is><t>_xD83D__xDE00_</t></is></c>", "\xF0\x9F\x98\x80"},
      {"<c r=\"A1\" t=\"inlineStr\"><is><t xml:space=\"preserve\">  </t></is></c>", "  "},
      {"<c r=\"A1\" s=\"1\"/>", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(TextOfCell(c.cell), c.text) << c.cell;
}

TEST(XlsxReaderTest, RichSharedStringLeavesOutPhoneticRuns) {
  Xlsx xlsx;
  xlsx.shared_strings =
      "<si><r><t>東</t></r><r><t>京</t></r><rPh sb=\"0\" eb=\"2\"><t>トウキョウ</t></rPh>"
      "<phoneticPr fontId=\"1\"/></si><si><t/></si>";
  xlsx.sheet_data =
      "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c></row>";
  const auto sheet = xlsx.Read();
  EXPECT_EQ(CellText(sheet->Cell(1, 1)), "東京");
  EXPECT_TRUE(sheet->Cell(1, 2).IsEmpty());
}

TEST(XlsxReaderTest, RowsAndCellsWithoutReferenceFollowThePreviousOne) {
  Xlsx xlsx;
  xlsx.sheet_data =
      "<row><c><v>1</v></c><c><v>2</v></c></row>"
      "<row r=\"4\"><c r=\"C4\"><v>3</v></c><c><v>4</v></c></row>"
      "<row><c><v>5</v></c></row>";
  const auto sheet = xlsx.Read();
  EXPECT_EQ(CellText(sheet->Cell(1, 1)), "1");
  EXPECT_EQ(CellText(sheet->Cell(1, 2)), "2");
  EXPECT_EQ(CellText(sheet->Cell(4, 3)), "3");
  EXPECT_EQ(CellText(sheet->Cell(4, 4)), "4");
  EXPECT_EQ(CellText(sheet->Cell(5, 1)), "5");
}

TEST(XlsxReaderTest, StrictNamespacesReadAsTransitional) {
  Xlsx xlsx;
  xlsx.main = kStrictMain;
  xlsx.rel = kStrictRel;
  xlsx.sheet_data =
      "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" s=\"1\"><v>1</v></c></row>";
  const auto sheet = xlsx.Read();
  EXPECT_EQ(CellText(sheet->Cell(1, 1)), "shared");
  EXPECT_EQ(CellText(sheet->Cell(1, 2)), "1900-01-01");
}

TEST(XlsxReaderTest, ActiveTabAndDate1904PickSheetAndSerials) {
  Xlsx xlsx;
  xlsx.workbook_inner =
      "<workbookPr date1904=\"1\"/><bookViews><workbookView activeTab=\"1\"/></bookViews>"
      "<sheets><sheet name=\"A\" sheetId=\"1\" r:id=\"rId1\"/>"
      "<sheet name=\"B\" sheetId=\"2\" r:id=\"rId2\"/></sheets>";
  xlsx.sheet_data = "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>";
  xlsx.sheet2_data =
      "<row r=\"1\"><c r=\"A1\" s=\"1\"><v>1</v></c><c r=\"B1\" "
      "t=\"d\"><v>1904-01-03</v></c></row>";
  const auto sheet = xlsx.Read();
  EXPECT_EQ(CellText(sheet->Cell(1, 1)), "1904-01-02");
  EXPECT_EQ(sheet->Cell(1, 2).number, 2);
  EXPECT_EQ(CellText(sheet->Cell(1, 2)), "1904-01-03");
}

TEST(XlsxReaderTest, WorkbookWithoutStylesOrSharedStringsReads) {
  Xlsx xlsx;
  xlsx.sheet_data = "<row r=\"1\"><c r=\"A1\" s=\"1\"><v>7</v></c></row>";
  testing::ZipBuilder zip = xlsx.Builder();
  zip.Remove("xl/styles.xml").Remove("xl/sharedStrings.xml");
  zip.Remove("xl/_rels/workbook.xml.rels");
  zip.Add("xl/_rels/workbook.xml.rels",
          "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
              xlsx.Rels("worksheet", "worksheets/sheet1.xml", "rId1") + "</Relationships>");
  const auto sheet = ReadWorkbookBytes(zip.Bytes(), "book.xlsx");
  EXPECT_EQ(CellText(sheet->Cell(1, 1)), "7");
}

// Each damaged workbook is refused with a ReadError naming the file and the fault.
TEST(XlsxReaderTest, DamagedWorkbooksAreRefusedWithOneLine) {
  struct Case {
    const char* sheet_data;
    const char* workbook_inner;  // null: the default
    const char* message;
  };
  const Case cases[] = {
      {"<row r=\"1\"><c r=\"A1\" t=\"s\"><v>5</v></c></row>", nullptr,
       "cell A1: shared string 5 is missing"},
      {"<row r=\"1\"><c r=\"A1\" t=\"s\"><v>-1</v></c></row>", nullptr, "bad shared string index"},
      {"<row r=\"1\"><c r=\"1A\"><v>1</v></c></row>", nullptr, "bad cell reference \"1A\""},
      {"<row r=\"1\"><c r=\"XFE1\"><v>1</v></c></row>", nullptr, "bad cell reference"},
      {"<row r=\"1048577\"><c><v>1</v></c></row>", nullptr, "bad row number"},
      {"<row r=\"1\"><c r=\"A1\" t=\"e\"><v>#BAD!</v></c></row>", nullptr, "unknown error value"},
      {"<row r=\"1\"><c r=\"A1\"><v>1,5</v></c></row>", nullptr, "cell A1: bad number \"1,5\""},
      {"<row r=\"1\"><c r=\"A1\" t=\"d\"><v>2024-02-30</v></c></row>", nullptr, "bad date"},
      {"<row r=\"1\"><c r=\"A1\" t=\"b\"><v>2</v></c></row>", nullptr, "bad boolean"},
      {"<row r=\"1\"><c r=\"A1\" t=\"x\"><v>2</v></c></row>", nullptr, "unknown cell type"},
      {"<row r=\"1\"><c r=\"A1\"><v>1</v></row>", nullptr, "malformed XML"},
      {"",
       "<bookViews><workbookView activeTab=\"3\"/></bookViews><sheets>"
       "<sheet name=\"S\" sheetId=\"1\" r:id=\"rId1\"/></sheets>",
       "the active sheet (tab 3) does not exist"},
      {"", "<sheets/>", "the workbook has no sheets"},
      {"", "<sheets><sheet name=\"S\" sheetId=\"1\" r:id=\"rId9\"/></sheets>",
       "relationship \"rId9\" is missing"},
  };
  for (const Case& c : cases) {
    Xlsx xlsx;
    xlsx.sheet_data = c.sheet_data;
    if (c.workbook_inner != nullptr) xlsx.workbook_inner = c.workbook_inner;
    try {
      xlsx.Read();
      ADD_FAILURE() << "read: " << c.sheet_data << c.message;
    } catch (const ReadError& e) {
      const std::string message = e.what();
      EXPECT_EQ(message.rfind("book.xlsx: ", 0), 0u) << message;
      EXPECT_NE(message.find(c.message), std::string::npos) << message;
      EXPECT_EQ(message.find('\n'), std::string::npos) << message;
    }
  }
}

TEST(XlsxReaderTest, ActiveChartsheetIsNotAWorksheet) {
  Xlsx xlsx;
  xlsx.sheet_type = "chartsheet";
  EXPECT_THROW(
      {
        try {
          xlsx.Read();
        } catch (const ReadError& e) {
          EXPECT_STREQ(e.what(), "book.xlsx: the active sheet is not a worksheet");
          throw;
        }
      },
      ReadError);
}

TEST(XlsxReaderTest, MissingPartsAreNamed) {
  for (const char* part : {"xl/worksheets/sheet1.xml", "xl/sharedStrings.xml", "xl/styles.xml",
                           "xl/_rels/workbook.xml.rels", "xl/workbook.xml"}) {
    testing::ZipBuilder zip = Xlsx().Builder();
    zip.Remove(part);
    try {
      ReadWorkbookBytes(zip.Bytes(), "book.xlsx");
      ADD_FAILURE() << part;
    } catch (const ReadError& e) {
      EXPECT_EQ(std::string(e.what()), std::string("book.xlsx: missing part ") + part);
    }
  }
}

}  // namespace
}  // namespace zerova
