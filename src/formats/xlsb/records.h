// The record types the .xlsb reader acts on ([MS-XLSB] 2.3, each record's
// section in 2.4), as the numbers their 1- or 2-byte headers decode to.
// Every other record is skipped by its size.
#ifndef ZEROVA_FORMATS_XLSB_RECORDS_H_
#define ZEROVA_FORMATS_XLSB_RECORDS_H_

#include <cstdint>

namespace zerova::xlsb {

// Worksheet part: rows and cells.
inline constexpr std::uint32_t kRowHdr = 0;
inline constexpr std::uint32_t kCellBlank = 1;
inline constexpr std::uint32_t kCellRk = 2;
inline constexpr std::uint32_t kCellError = 3;
inline constexpr std::uint32_t kCellBool = 4;
inline constexpr std::uint32_t kCellReal = 5;
inline constexpr std::uint32_t kCellSt = 6;
inline constexpr std::uint32_t kCellIsst = 7;
inline constexpr std::uint32_t kFmlaString = 8;
inline constexpr std::uint32_t kFmlaNum = 9;
inline constexpr std::uint32_t kFmlaBool = 10;
inline constexpr std::uint32_t kFmlaError = 11;
inline constexpr std::uint32_t kCellRString = 62;
inline constexpr std::uint32_t kBeginSheet = 129;
inline constexpr std::uint32_t kBeginSheetData = 145;
inline constexpr std::uint32_t kEndSheetData = 146;
inline constexpr std::uint32_t kWsProp = 147;

// Shared strings part.
inline constexpr std::uint32_t kSstItem = 19;

// Styles part.
inline constexpr std::uint32_t kFmt = 44;
inline constexpr std::uint32_t kXf = 47;
inline constexpr std::uint32_t kBeginCellXfs = 617;
inline constexpr std::uint32_t kEndCellXfs = 618;

// Workbook part.
inline constexpr std::uint32_t kBeginBook = 131;
inline constexpr std::uint32_t kWbProp = 153;
inline constexpr std::uint32_t kBundleSh = 156;
inline constexpr std::uint32_t kBookView = 158;

}  // namespace zerova::xlsb

#endif  // ZEROVA_FORMATS_XLSB_RECORDS_H_
