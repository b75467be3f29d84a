// The .xlsb reader on packages built in memory (support/xlsb_builder.h). Whole
// workbooks are compared in services/fixtures_test.cpp; this table holds what the
// fixtures cannot show: every cell record kind, the workbook's choices, and
// damaged records.
#include <gtest/gtest.h>

#include <string>

#include "support/office_book.h"
#include "support/xlsb_builder.h"

namespace zerova::testing {
namespace {

using namespace xlsb;  // NOLINT: the builder's record helpers read as a sentence

constexpr const char* kSheetPart = "xl/worksheets/sheet1.bin";

// The bytes of the package of `book`.
std::vector<std::uint8_t> Book(const XlsbBook& book) { return Zip(Parts(book)); }

// The bytes of a one-sheet package whose sheet holds `data` (OneSheet).
std::vector<std::uint8_t> Cells(const std::string& data) { return Book(OneSheet(data)); }

// The bytes of a one-sheet package whose part at `path` holds `bytes` instead.
std::vector<std::uint8_t> WithPart(const std::string& path, const std::string& bytes) {
  ZipMembers parts = Parts(OneSheet(Row(0) + Real(0, 1)));
  for (auto& [name, contents] : parts) {
    if (name == path) contents = bytes;
  }
  return Zip(parts);
}

XlsbBook Sheets(std::vector<XlsbSheet> sheets, std::uint32_t active) {
  XlsbBook book;
  book.sheets = std::move(sheets);
  book.active = active;
  return book;
}

// An RK number holding the integer `n` (bit 1), optionally in hundredths (bit 0).
constexpr std::uint32_t RkInt(std::int32_t n, bool hundredths = false) {
  return (static_cast<std::uint32_t>(n) << 2) | 2 | (hundredths ? 1 : 0);
}

TEST(XlsbReaderTest, CellsWorkbookAndDamage) {
  XlsbBook own_formats = OneSheet(Row(0) + Real(0, 45351, 0) + Real(1, 45351, 1));
  own_formats.formats = {{14, "0.00"}, {200, "d\"-\"mmm"}};  // redefines built-in 14
  own_formats.cell_formats = {14, 200};
  XlsbBook plain = OneSheet(Row(0) + Real(0, 45351, 1));
  plain.shared.clear();
  plain.cell_formats.clear();
  XlsbBook beta = OneSheet(Row(0) + Text(0, "beta"));
  beta.beta_sheet_records = true;
  std::string many;  // about 250 KB of records: several chunks of the part
  for (std::uint32_t rw = 0; rw < 10000; ++rw) many += Row(rw) + Real(0, rw + 1.0);
  const std::string record_5_short = Record(5, U32(0) + U32(0) + U32(0));
  const std::string st_past_its_record = Record(6, U32(0) + U32(0) + U32(100) + "ab");
  const std::string begin_sheet = Record(129);

  Check({
      {"an error cell; blanks and empty text are left out",
       Cells(Row(0) + Error(0, 0x07) + Blank(1) + Text(2, "") + Rk(3, RkInt(-7))),
       "A1=#DIV/0!|D1=-7"},
      {"numbers in date formats are dates; text, cell-style formats and unknown formats are not",
       Cells(Row(0) + Real(0, 45351, 1) + Rk(1, RkInt(45351), 1) + FormulaNumber(2, 0.5, 1) +
             Real(3, 0.25, 2) + Real(4, 7, 99) + Isst(5, 0, 1) + Real(6, 45351, 0)),
       "A1=2024-02-29|B1=2024-02-29|C1=12:00:00|D1=0.25|E1=7|F1=東京|G1=45351"},
      {"a format the workbook defines wins over the built-in id", Book(own_formats),
       "A1=45351|B1=2024-02-29"},
      {"no styles or shared strings", Book(plain), "A1=45351"},
      {"rows and columns to the grid's last cell",
       Cells(Row(1) + Text(1, "B2") + Row(1048575) + Real(16383, 1) + Real(0, 2)),
       "B2=B2|A1048576=2|XFD1048576=1"},
      {"surrogate pairs join; unpaired surrogates become U+FFFD",
       Cells(Row(0) + Text(0, u"\xD83D\xDE00") +
             Text(1,
                  u"a\xD800"
                  u"b") +
             Text(2, u"\xDC00") + Text(3, u"x\xD83D")),
       "A1=\xF0\x9F\x98\x80|B1=a\xEF\xBF\xBD"
       "b|C1=\xEF\xBF\xBD|D1=x\xEF\xBF\xBD"},
      {"a record larger than a chunk", Cells(Row(2) + Text(0, std::string(70000, 'x'))),
       "A3=" + std::string(70000, 'x')},
      {"many records across chunks", Cells(many + Row(1048575) + Real(0, 5)),
       "A1=1|A2=2|A3=3|A4=4|A5=5|A6=6|A1048576=5"},
      {"an active tab past the last sheet reads the first",
       Book(Sheets({{"One", Row(0) + Text(0, "one")}, {"Two", Row(0) + Text(0, "two")}}, 2)),
       "A1=one"},
      {"sheet records of Excel 2007's betas", Book(beta), "A1=beta"},
      {"active chart", Book(Sheets({{"Data", ""}, {"Chart 1", "", "chartsheet"}}, 1)),
       "refused: book.xls: the active sheet \"Chart 1\" is a chart, not a worksheet"},
      {"active macro sheet", Book(Sheets({{"M", "", "xlMacrosheet"}}, 0)),
       "refused: the active sheet \"M\" is a macro sheet, not a worksheet"},
      {"active dialog sheet", Book(Sheets({{"D", "", "dialogsheet"}}, 0)),
       "refused: the active sheet \"D\" is a dialog sheet, not a worksheet"},
      {"a worksheet part flagged as a dialog",
       Book(Sheets({{"D", "", "worksheet", U16(0x10) + U8(0)}}, 0)),
       "refused: sheet1.bin: the active sheet \"D\" is a dialog sheet, not a worksheet"},
      {"no sheets", Book(Sheets({}, 0)), "refused: book.xls: the workbook has no sheets"},
      {"missing relationship",
       WithPart("xl/_rels/workbook.bin.rels",
                "<Relationships "
                "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"/>"),
       "refused: xl/workbook.bin: the active sheet's relationship \"rId1\" is missing"},
      {"a workbook part that is no workbook", WithPart("xl/workbook.bin", Record(128)),
       "refused: xl/workbook.bin: not a binary workbook part"},
      {"a sheet part that is no worksheet", WithPart(kSheetPart, Record(131)),
       "refused: sheet1.bin: the active sheet is not a worksheet"},
      {"truncated record type", WithPart(kSheetPart, begin_sheet + "\x81"),
       "refused: sheet1.bin: the record at byte 3 is cut short in its header"},
      {"truncated record size", WithPart(kSheetPart, begin_sheet + "\x05\x85"),
       "refused: the record at byte 3 is cut short in its header"},
      {"record size past the end",
       WithPart(kSheetPart, begin_sheet + "\x05\x10"
                                          "abc"),
       "refused: sheet1.bin: the record at byte 3 runs past the end of the part"},
      {"five-byte record size", WithPart(kSheetPart, begin_sheet + "\x05\xFF\xFF\xFF\xFF\x01"),
       "refused: the record at byte 3 has a malformed size"},
      {"three-byte record type", WithPart(kSheetPart, begin_sheet + "\xFF\xFF\x01\x00"),
       "refused: the record at byte 3 has a malformed type"},
      {"cell record too short", Cells(Row(0) + record_5_short),
       "refused: sheet1.bin: record 5 at byte "},
      {"string past its record", Cells(Row(0) + st_past_its_record), "refused: is too short"},
      {"missing shared string", Cells(Row(0) + Isst(2, 2)),
       "refused: sheet1.bin: cell C1: shared string 2 is missing"},
      {"unknown error code", Cells(Row(0) + Error(0, 0x99)),
       "refused: cell A1: unknown error code 0x99"},
      {"bad boolean", Cells(Row(4) + Bool(1, 2)), "refused: cell B5: bad boolean 2"},
      {"row past the grid", Cells(Row(1048576)), "refused: row 1048577 is outside the grid"},
      {"column past the grid", Cells(Row(0) + Real(16384, 1)),
       "refused: a cell of row 1 is outside the grid (column 16385)"},
      {"damaged shared string", WithPart("xl/sharedStrings.bin", Record(19, U8(0) + U32(3))),
       "refused: sharedStrings.bin: record 19 at byte 0 is too short"},
      {"damaged cell format", WithPart("xl/styles.bin", Record(617) + Record(47, U16(0))),
       "refused: styles.bin: record 47 at byte 3 is too short"},
      {"a zip of no format we read names .xlsb", Zip({{"a.txt", "a"}}), "refused: .xlsb"},
  });
  for (const char* part : {kSheetPart, "xl/sharedStrings.bin", "xl/styles.bin",
                           "xl/_rels/workbook.bin.rels", "xl/workbook.bin"}) {
    ZipMembers parts = Parts(OneSheet(""));
    std::erase_if(parts, [&](const auto& member) { return member.first == part; });
    EXPECT_EQ(Outcome(Zip(parts)), std::string("refused: book.xls: missing part ") + part);
  }
}

}  // namespace
}  // namespace zerova::testing
