// The .xlsb reader on packages built in memory (support/xlsb_builder.h): what the
// fixtures' .xlsb copies and the corpus cannot show, and a few damaged records.
#include <gtest/gtest.h>

#include <string>

#include "support/office_book.h"
#include "support/xlsb_builder.h"

namespace zerova::test {
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
  const std::string begin_sheet = Record(129);
  const auto wide = [](const std::string& ascii) {  // an XLWideString
    std::string units = U16(ascii.size()) + U16(0);
    for (const char c : ascii) units += U16(c);
    return units;
  };
  // BrtBundleSh as Excel 2007's betas wrote it: hsState, iTabID, one more field, the strings.
  const std::string beta_sheet = std::string(12, '\0') + wide("rId1") + wide("Beta");
  Check({
      {"numbers in date formats are dates; text, cell-style formats and unknown formats are not",
       Cells(Row(0) + Real(0, 45351, 1) + Rk(1, RkInt(-7)) + FormulaNumber(2, 0.5, 1) +
             Real(3, 0.25, 2) + Real(4, 7, 99) + Isst(5, 0, 1) + Error(6, 0x07) + Blank(7)),
       "A1=2024-02-29|B1=-7|C1=12:00:00|D1=0.25|E1=7|F1=東京|G1=#DIV/0!"},
      {"a format the workbook defines wins over the built-in id", Book(own_formats),
       "A1=45351|B1=2024-02-29"},
      {"the grid's last cell; surrogates paired or U+FFFD",
       Cells(Row(0) + Text(0, u"\xD83D\xDE00") + Text(1, u"x\xD83D") + Row(1048575) +
             Real(16383, 1)),
       "A1=\xF0\x9F\x98\x80|B1=x\xEF\xBF\xBD|XFD1048576=1"},
      {"a record larger than a chunk", Cells(Row(2) + Text(0, std::string(70000, 'x'))),
       "A3=" + std::string(70000, 'x')},
      {"an active tab past the last sheet reads the first",
       Book(Sheets({{"One", Row(0) + Text(0, "one")}, {"Two", Row(0) + Text(0, "two")}}, 2)),
       "A1=one"},
      {"active chart", Book(Sheets({{"Data", ""}, {"Chart 1", "", "chartsheet"}}, 1)),
       "refused: the active sheet \"Chart 1\" is a chart, not a worksheet"},
      {"a worksheet part flagged as a dialog",
       Book(Sheets({{"D", "", "worksheet", U16(0x10) + U8(0)}}, 0)),
       "refused: sheet1.bin of sheet \"D\": the sheet \"D\" is a dialog sheet, not a worksheet"},
      {"a part the relationships name is missing",
       [] {
         ZipMembers parts = Parts(OneSheet(""));
         std::erase_if(parts, [](const auto& part) { return part.first == "xl/styles.bin"; });
         return Zip(parts);
       }(),
       "damaged: a part of it is missing (missing part xl/styles.bin)"},
      {"truncated record type", WithPart(kSheetPart, begin_sheet + "\x81"),
       "damaged: a record is cut short (xl/worksheets/sheet1.bin of sheet \"Sheet1\": the record "
       "at byte 3 is cut "
       "short in its header)"},
      {"missing shared string", Cells(Row(0) + Isst(2, 2)),
       "damaged: a cell refers to a shared string that does not exist "
       "(xl/worksheets/sheet1.bin of sheet \"Sheet1\": cell C1: shared string 2 out of range, 2 "
       "strings)"},
      {"row past the grid", Cells(Row(1048576)),
       "damaged: a cell lies outside the sheet's 1,048,576 rows and 16,384 columns "
       "(xl/worksheets/sheet1.bin of sheet \"Sheet1\": row 1048577 is past the last row)"},
      {"a blank past the last column", Cells(Row(0) + Blank(16384)),
       "damaged: a cell lies outside the sheet's 1,048,576 rows and 16,384 columns "
       "(xl/worksheets/sheet1.bin of sheet \"Sheet1\": a cell of row 1 is in column 16385, past "
       "the last column)"},
      {"unknown error code", Cells(Row(0) + Error(0, 0x05)),
       "damaged: a cell's value is malformed (xl/worksheets/sheet1.bin of sheet \"Sheet1\": cell "
       "A1: unknown error "
       "code 0x05)"},
      {"a sheet record of Excel 2007's betas, 4 bytes longer",
       WithPart("xl/workbook.bin",
                Record(131) + Record(143) + Record(156, beta_sheet) + Record(144) + Record(132)),
       "A1=1"},
      {"a sheet part that does not begin a sheet", WithPart(kSheetPart, Record(131)),
       "damaged: the sheet's part holds no worksheet (xl/worksheets/sheet1.bin of "
       "sheet \"Sheet1\": no "
       "BrtBeginSheet record at its start)"},
      {"a record whose size runs past the part", WithPart(kSheetPart, begin_sheet + "\x01\x7F"),
       "damaged: a record is cut short (xl/worksheets/sheet1.bin of sheet \"Sheet1\": the record "
       "at byte 3 runs past "
       "the end of the part)"},
      {"a size of five bytes", WithPart(kSheetPart, begin_sheet + "\x01\xFF\xFF\xFF\xFF\x7F"),
       "damaged: a record is malformed (xl/worksheets/sheet1.bin of sheet \"Sheet1\": the record "
       "at byte 3 has a "
       "malformed size)"},
  });
}

}  // namespace
}  // namespace zerova::test
