// The BIFF records the .xls reader acts on, by id: [MS-XLS] 2.3's record enumeration
// for BIFF5 and BIFF8, the OpenOffice.org "Microsoft Excel File Format" document for
// the records of Excel 2.x-4.x (BIFF2-4) that later versions renumbered or dropped.
#ifndef ZEROVA_FORMATS_XLS_RECORDS_H_
#define ZEROVA_FORMATS_XLS_RECORDS_H_

#include <cstdint>

namespace zerova {

// The BIFF versions: Excel 2.x, 3.0, 4.0, 5.0/95 and 97-2003.
enum class BiffVersion : std::uint8_t { kBiff2, kBiff3, kBiff4, kBiff5, kBiff8 };

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
constexpr std::uint16_t kFormat = 0x041E;       // BIFF4-8
constexpr std::uint16_t kFormatBiff2 = 0x001E;  // BIFF2 and BIFF3
constexpr std::uint16_t kXf = 0x00E0;
constexpr std::uint16_t kXfBiff2 = 0x0043;
constexpr std::uint16_t kXfBiff3 = 0x0243;
constexpr std::uint16_t kXfBiff4 = 0x0443;
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
constexpr std::uint16_t kFormula = 0x0006;  // BIFF5-8; BIFF2's own FORMULA has the same id
constexpr std::uint16_t kFormulaBiff3 = 0x0206;
constexpr std::uint16_t kFormulaBiff4 = 0x0406;
constexpr std::uint16_t kString = 0x0207;
constexpr std::uint16_t kBlank = 0x0201;
constexpr std::uint16_t kMulBlank = 0x00BE;
constexpr std::uint16_t kWsBool = 0x0081;
constexpr std::uint16_t kDimensions = 0x0200;
constexpr std::uint16_t kRow = 0x0208;

// BIFF2's own cell records: row, column, 3 bytes of cell attributes, the value.
constexpr std::uint16_t kDimensionsBiff2 = 0x0000;
constexpr std::uint16_t kBlankBiff2 = 0x0001;
constexpr std::uint16_t kIntegerBiff2 = 0x0002;
constexpr std::uint16_t kNumberBiff2 = 0x0003;
constexpr std::uint16_t kLabelBiff2 = 0x0004;
constexpr std::uint16_t kBoolErrBiff2 = 0x0005;
constexpr std::uint16_t kFormulaBiff2 = 0x0006;
constexpr std::uint16_t kStringBiff2 = 0x0007;
constexpr std::uint16_t kRowBiff2 = 0x0008;
constexpr std::uint16_t kIxfe = 0x0044;  // the XF of the BIFF2 cells whose attributes say 63

// True iff `id` is one of BIFF2's own cell records above or IXFE.
constexpr bool IsBiff2CellRecord(std::uint16_t id) {
  return (id >= kBlankBiff2 && id <= kStringBiff2) || id == kIxfe;
}

// BOF substream types ([MS-XLS] 2.4.21 dt).
constexpr std::uint16_t kBofGlobals = 0x0005;
constexpr std::uint16_t kBofWorksheet = 0x0010;
constexpr std::uint16_t kBofChart = 0x0020;
constexpr std::uint16_t kBofMacroSheet = 0x0040;
constexpr std::uint16_t kBofWorkbookBiff4 = 0x0100;  // BIFF4 workbook globals

// True iff `id` is the BOF record of some BIFF version.
constexpr bool IsBof(std::uint16_t id) {
  return id == kBof || id == kBofBiff2 || id == kBofBiff3 || id == kBofBiff4;
}

// True iff `id` opens a substream in a stream of `version`: BIFF5 and BIFF8 know
// one BOF record; BIFF2-4 files mix the versions' records.
constexpr bool IsBof(std::uint16_t id, BiffVersion version) {
  return version >= BiffVersion::kBiff5 ? id == kBof : IsBof(id);
}

// True iff `id` opens the cell table of a BIFF2-4 sheet, after the formats and
// cell formats that such a sheet holds itself: DIMENSIONS, ROW, IXFE or a cell record.
bool OpensCellTable(std::uint16_t id);

// The record's name as [MS-XLS] spells it ("SST", "MULRK"), or nullptr for an id
// the reader does not act on.
const char* RecordName(std::uint16_t id);

}  // namespace biff
}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLS_RECORDS_H_
