#include "support/xlsb_builder.h"

#include <array>
#include <bit>
#include <string_view>

#include "services/utf8.h"

namespace zerova::test::xlsb {
namespace {

// Record types the builder writes ([MS-XLSB] 2.3).
constexpr std::uint32_t kRowHdr = 0, kCellBlank = 1, kCellRk = 2, kCellError = 3, kCellBool = 4,
                        kCellReal = 5, kCellSt = 6, kCellIsst = 7, kFmlaString = 8, kFmlaNum = 9,
                        kFmlaBool = 10, kFmlaError = 11, kSstItem = 19, kFmt = 44, kXf = 47,
                        kCellRString = 62, kBeginSheet = 129, kEndSheet = 130, kBeginBook = 131,
                        kEndBook = 132, kBeginBookViews = 135, kEndBookViews = 136,
                        kBeginBundleShs = 143, kEndBundleShs = 144, kBeginSheetData = 145,
                        kEndSheetData = 146, kWsProp = 147, kWbProp = 153, kBundleSh = 156,
                        kBookView = 158, kBeginSst = 159, kEndSst = 160, kBeginStyleSheet = 278,
                        kEndStyleSheet = 279, kBeginFmts = 615, kEndFmts = 616, kBeginCellXfs = 617,
                        kEndCellXfs = 618, kBeginStyleXfs = 626, kEndStyleXfs = 627;

// The UTF-16 code units of `utf8`, which must be well-formed.
std::u16string Utf16(std::string_view utf8) {
  std::u16string units;
  char32_t c;
  for (std::size_t n; (n = DecodeUtf8(utf8, &c)) != 0; utf8.remove_prefix(n)) {
    if (c < 0x10000) {
      units.push_back(static_cast<char16_t>(c));
    } else {
      units.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      units.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    }
  }
  return units;
}

std::string U32(std::uint32_t value) { return U16(value & 0xFFFF) + U16(value >> 16); }

std::string F64(double value) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  return U32(static_cast<std::uint32_t>(bits)) + U32(static_cast<std::uint32_t>(bits >> 32));
}

// An XLWideString: the count of code units, then the units.
std::string Wide(const std::u16string& units) {
  std::string bytes = U32(static_cast<std::uint32_t>(units.size()));
  for (char16_t unit : units) bytes += U16(unit);
  return bytes;
}

std::string Wide(const std::string& utf8) { return Wide(Utf16(utf8)); }

// A Cell structure: the column, then the cell format in 24 bits.
std::string CellHead(std::uint32_t col, std::uint32_t style) {
  return U32(col) + U32(style & 0x00FFFFFF);
}

// grbitFlags, then a CellParsedFormula with no tokens and no extra data.
const std::string kEmptyFormula = U16(0) + U32(0) + U32(0);

std::string WorkbookPart(const XlsbBook& book) {
  std::string part = Record(kBeginBook);
  part += Record(kWbProp, U32(book.date1904 ? 1 : 0) + U32(0) + Wide(std::u16string()));
  std::string view;
  for (int i = 0; i < 6; ++i) view += U32(0);
  part += Record(kBeginBookViews) + Record(kBookView, view + U32(book.active) + U8(0x78)) +
          Record(kEndBookViews);
  part += Record(kBeginBundleShs);
  for (std::size_t i = 0; i < book.sheets.size(); ++i) {
    part += Record(kBundleSh, U32(book.sheets[i].state) + U32(static_cast<std::uint32_t>(i + 1)) +
                                  Wide("rId" + std::to_string(i + 1)) + Wide(book.sheets[i].name));
  }
  return part + Record(kEndBundleShs) + Record(kEndBook);
}

std::string SheetPart(const XlsbSheet& sheet) {
  std::string part = Record(kBeginSheet);
  if (!sheet.properties.empty()) part += Record(kWsProp, sheet.properties);
  return part + Record(kBeginSheetData) + sheet.data + Record(kEndSheetData) + Record(kEndSheet);
}

std::string XfRecord(std::uint16_t format) {
  return Record(kXf, U16(0) + U16(format) + std::string(12, '\0'));
}

std::string StylesPart(const XlsbBook& book) {
  std::string part = Record(kBeginStyleSheet);
  part += Record(kBeginFmts, U32(static_cast<std::uint32_t>(book.formats.size())));
  for (const auto& [id, code] : book.formats) part += Record(kFmt, U16(id) + Wide(code));
  part += Record(kEndFmts);
  // A cell style's format that shows a date: it must not count as a cell format.
  part += Record(kBeginStyleXfs, U32(1)) + XfRecord(14) + Record(kEndStyleXfs);
  part += Record(kBeginCellXfs, U32(static_cast<std::uint32_t>(book.cell_formats.size())));
  for (std::uint16_t format : book.cell_formats) part += XfRecord(format);
  return part + Record(kEndCellXfs) + Record(kEndStyleSheet);
}

}  // namespace

std::string U8(std::uint8_t value) { return std::string(1, static_cast<char>(value)); }
std::string U16(std::uint16_t value) { return U8(value & 0xFF) + U8(value >> 8); }

std::string Record(std::uint32_t type, const std::string& body) {
  std::string bytes = U8(type & 0x7F);
  if (type > 0x7F) {
    bytes[0] = static_cast<char>(bytes[0] | 0x80);
    bytes += U8((type >> 7) & 0x7F);
  }
  std::size_t size = body.size();
  do {
    bytes += U8((size & 0x7F) | (size > 0x7F ? 0x80 : 0));
    size >>= 7;
  } while (size != 0);
  return bytes + body;
}

std::string Row(std::uint32_t rw) {
  return Record(kRowHdr, U32(rw) + U32(0) + U16(300) + U16(0) + U8(0) + U32(0));
}

std::string Blank(std::uint32_t col, std::uint32_t style) {
  return Record(kCellBlank, CellHead(col, style));
}
std::string Real(std::uint32_t col, double value, std::uint32_t style) {
  return Record(kCellReal, CellHead(col, style) + F64(value));
}
std::string Rk(std::uint32_t col, std::uint32_t rk, std::uint32_t style) {
  return Record(kCellRk, CellHead(col, style) + U32(rk));
}
std::string Error(std::uint32_t col, std::uint8_t code) {
  return Record(kCellError, CellHead(col, 0) + U8(code));
}
std::string Bool(std::uint32_t col, bool value) {
  return Record(kCellBool, CellHead(col, 0) + U8(value ? 1 : 0));
}
std::string Isst(std::uint32_t col, std::uint32_t index, std::uint32_t style) {
  return Record(kCellIsst, CellHead(col, style) + U32(index));
}
std::string Text(std::uint32_t col, const std::u16string& units) {
  return Record(kCellSt, CellHead(col, 0) + Wide(units));
}
std::string Text(std::uint32_t col, const std::string& utf8) { return Text(col, Utf16(utf8)); }

std::string RichText(std::uint32_t col, const std::string& utf8) {
  return Record(kCellRString, CellHead(col, 0) + SstItem(utf8, true));
}

std::string FormulaNumber(std::uint32_t col, double value, std::uint32_t style) {
  return Record(kFmlaNum, CellHead(col, style) + F64(value) + kEmptyFormula);
}
std::string FormulaText(std::uint32_t col, const std::string& utf8) {
  return Record(kFmlaString, CellHead(col, 0) + Wide(utf8) + kEmptyFormula);
}
std::string FormulaBool(std::uint32_t col, bool value) {
  return Record(kFmlaBool, CellHead(col, 0) + U8(value ? 1 : 0) + kEmptyFormula);
}
std::string FormulaError(std::uint32_t col, std::uint8_t code) {
  return Record(kFmlaError, CellHead(col, 0) + U8(code) + kEmptyFormula);
}

std::string SstItem(const std::string& utf8, bool rich) {
  return U8(rich ? 1 : 0) + Wide(utf8) + (rich ? U32(1) + U16(0) + U16(1) : "");
}

ZipMembers Parts(const XlsbBook& book) {
  const std::string kOffice =
      "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
  ZipMembers parts = {
      {"[Content_Types].xml",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types "
       "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"><Default "
       "Extension=\"bin\" ContentType=\"application/vnd.ms-excel.sheet.binary.macroEnabled.main\"/>"
       "<Default Extension=\"rels\" "
       "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/></Types>"},
      {"_rels/.rels", Relationships({{"rId1", kOffice + "officeDocument", "xl/workbook.bin"}})},
      {"xl/workbook.bin", WorkbookPart(book)}};
  std::vector<std::array<std::string, 3>> rels;
  for (std::size_t i = 0; i < book.sheets.size(); ++i) {
    const std::string part = "worksheets/sheet" + std::to_string(i + 1) + ".bin";
    rels.push_back({"rId" + std::to_string(i + 1), kOffice + book.sheets[i].kind, part});
    parts.push_back({"xl/" + part, SheetPart(book.sheets[i])});
  }
  if (!book.shared.empty()) {
    rels.push_back({"rIdS", kOffice + "sharedStrings", "sharedStrings.bin"});
    const auto count = U32(static_cast<std::uint32_t>(book.shared.size()));
    std::string sst = Record(kBeginSst, count + count);
    for (const std::string& item : book.shared) sst += Record(kSstItem, item);
    parts.push_back({"xl/sharedStrings.bin", sst + Record(kEndSst)});
  }
  if (!book.cell_formats.empty()) {
    rels.push_back({"rIdT", kOffice + "styles", "/xl/styles.bin"});
    parts.push_back({"xl/styles.bin", StylesPart(book)});
  }
  parts.push_back({"xl/_rels/workbook.bin.rels", Relationships(rels)});
  return parts;
}

XlsbBook OneSheet(const std::string& data) {
  XlsbBook book;
  book.sheets = {{"Sheet1", data}};
  book.shared = {SstItem("東京", true), SstItem("")};
  book.formats = {{164, "0.00%"}};
  book.cell_formats = {0, 14, 164};
  return book;
}

}  // namespace zerova::test::xlsb
