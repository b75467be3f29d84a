// The BIFF records the .xls reader acts on ([MS-XLS] 2.3 record enumeration), by id.
#ifndef ZEROVA_FORMATS_XLS_RECORDS_H_
#define ZEROVA_FORMATS_XLS_RECORDS_H_

#include <cstdint>

namespace zerova {
namespace biff {

// Workbook globals.
constexpr std::uint16_t kBof = 0x0809;  // BIFF5 and BIFF8
constexpr std::uint16_t kBofBiff2 = 0x0009;
constexpr std::uint16_t kBofBiff3 = 0x0209;
constexpr std::uint16_t kBofBiff4 = 0x0409;
constexpr std::uint16_t kEof = 0x000A;
constexpr std::uint16_t kContinue = 0x003C;
constexpr std::uint16_t kCodepage = 0x0042;
constexpr std::uint16_t kDatemode = 0x0022;
constexpr std::uint16_t kFilepass = 0x002F;
constexpr std::uint16_t kFormat = 0x041E;
constexpr std::uint16_t kXf = 0x00E0;
constexpr std::uint16_t kSst = 0x00FC;
constexpr std::uint16_t kBoundsheet = 0x0085;
constexpr std::uint16_t kWindow1 = 0x003D;

// Worksheet cells.
constexpr std::uint16_t kLabelSst = 0x00FD;
constexpr std::uint16_t kLabel = 0x0204;
constexpr std::uint16_t kRstring = 0x00D6;
constexpr std::uint16_t kNumber = 0x0203;
constexpr std::uint16_t kRk = 0x027E;
constexpr std::uint16_t kMulRk = 0x00BD;
constexpr std::uint16_t kBoolErr = 0x0205;
constexpr std::uint16_t kFormula = 0x0006;
constexpr std::uint16_t kString = 0x0207;
constexpr std::uint16_t kBlank = 0x0201;
constexpr std::uint16_t kMulBlank = 0x00BE;
constexpr std::uint16_t kWsBool = 0x0081;

// BOF substream types ([MS-XLS] 2.4.21 dt).
constexpr std::uint16_t kBofGlobals = 0x0005;
constexpr std::uint16_t kBofWorksheet = 0x0010;
constexpr std::uint16_t kBofChart = 0x0020;
constexpr std::uint16_t kBofMacroSheet = 0x0040;

// The record's name as [MS-XLS] spells it ("SST", "MULRK"), or nullptr for an id
// the reader does not act on.
const char* RecordName(std::uint16_t id);

}  // namespace biff
}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLS_RECORDS_H_
