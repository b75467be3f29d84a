// XlsbBuilder: small .xlsb packages ([MS-XLSB]) for the reader's tests, the
// benchmarks and the fixtures' input.xlsb files (tests/data/make_binary_fixtures.cpp):
// records as strings of bytes, one helper per cell record, and Parts() to lay out a
// book's package for support/zip_builder.h. Text is UTF-8, or UTF-16 code units
// (std::u16string) for what UTF-8 cannot hold, such as a lone surrogate.
#ifndef ZEROVA_TESTS_SUPPORT_XLSB_BUILDER_H_
#define ZEROVA_TESTS_SUPPORT_XLSB_BUILDER_H_

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "support/zip_builder.h"

namespace zerova::test::xlsb {

// Little-endian fields.
std::string U8(std::uint8_t value);
std::string U16(std::uint16_t value);

// A record: its type and size as 7-bit groups (high bit: another byte follows),
// then `body`.
std::string Record(std::uint32_t type, const std::string& body = "");

// Cell records for column `col` (0-based) in cell format `style`.
std::string Row(std::uint32_t rw);  // BrtRowHdr for 0-based row `rw`
std::string Blank(std::uint32_t col, std::uint32_t style = 0);
std::string Real(std::uint32_t col, double value, std::uint32_t style = 0);
std::string Rk(std::uint32_t col, std::uint32_t rk, std::uint32_t style = 0);
std::string Error(std::uint32_t col, std::uint8_t code);
std::string Bool(std::uint32_t col, bool value);
std::string Isst(std::uint32_t col, std::uint32_t index, std::uint32_t style = 0);
std::string Text(std::uint32_t col, const std::u16string& units);  // BrtCellSt
std::string Text(std::uint32_t col, const std::string& utf8);
std::string RichText(std::uint32_t col, const std::string& utf8);  // BrtCellRString, one run
// A formula's cached result, followed by an empty formula (BrtFmlaNum, BrtFmlaString,
// BrtFmlaBool, BrtFmlaError).
std::string FormulaNumber(std::uint32_t col, double value, std::uint32_t style = 0);
std::string FormulaText(std::uint32_t col, const std::string& utf8);
std::string FormulaBool(std::uint32_t col, bool value);
std::string FormulaError(std::uint32_t col, std::uint8_t code);

// A BrtSSTItem body: a RichStr; a rich one has one formatting run (character 0, font 1).
std::string SstItem(const std::string& utf8, bool rich = false);

// One sheet of a book.
struct XlsbSheet {
  std::string name;
  std::string data;                // the records between BrtBeginSheetData and its end
  std::string kind = "worksheet";  // its relationship's kind: "worksheet", "chartsheet", ...
  std::string properties = "";     // BrtWsProp's body; none when empty
  std::uint32_t state = 0;         // BrtBundleSh's hsState: 0 visible, 1 hidden, 2 very hidden
};

struct XlsbBook {
  std::vector<XlsbSheet> sheets;
  std::uint32_t active = 0;         // BrtBookView's itabCur
  bool date1904 = false;            // BrtWbProp's f1904
  std::vector<std::string> shared;  // BrtSSTItem bodies; no shared-strings part when empty
  std::vector<std::pair<std::uint16_t, std::string>> formats;  // BrtFmt: id, code
  std::vector<std::uint16_t> cell_formats;  // each cell XF's format id; no styles part when empty
};

// The parts of `book`'s package: content types, relationships, workbook.bin,
// one xl/worksheets/sheetN.bin per sheet, sharedStrings.bin and styles.bin.
ZipMembers Parts(const XlsbBook& book);

// A one-sheet book whose sheet holds `data`, with the shared strings "東京" and
// "", and cell formats 0 (General), 1 (built-in date 14) and 2 ("0.00%" as id 164).
XlsbBook OneSheet(const std::string& data);

}  // namespace zerova::test::xlsb

#endif  // ZEROVA_TESTS_SUPPORT_XLSB_BUILDER_H_
