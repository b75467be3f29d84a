#include "formats/xls/cell_header.h"

#include "formats/containers/little_endian.h"

namespace zerova {
namespace {

// BIFF2 cell attributes keep an XF index or a number format in 6 bits.
constexpr std::uint8_t kAttributeBits = 0x3F;
constexpr std::uint16_t kXfFromIxfe = 63;

}  // namespace

// Before any IXFE record, 63 is taken as it stands.
CellHeaderReader::CellHeaderReader(const BiffRecordCursor& cursor, const WorkbookGlobals& globals)
    : cursor_(cursor), globals_(globals), ixfe_(kXfFromIxfe) {}

CellHeader CellHeaderReader::Read() {
  cursor_.RequireBody(6);
  const ByteSpan body = cursor_.body();
  return {GetU16(body, 0), GetU16(body, 2), IsDateXf(GetU16(body, 4)), 6};
}

CellHeader CellHeaderReader::ReadBiff2() {
  cursor_.RequireBody(7);
  const ByteSpan body = cursor_.body();
  const bool date = globals_.xf_is_date.empty()
                        ? globals_.format_is_date.at(body[5] & kAttributeBits)
                        : IsDateXf(body[4] & kAttributeBits);
  return {GetU16(body, 0), GetU16(body, 2), date, 7};
}

void CellHeaderReader::RequireXf(std::uint16_t xf) const {
  if (xf >= globals_.xf_is_date.size()) {
    cursor_.Damaged("a cell refers to a cell format that does not exist",
                    "cell XF index " + std::to_string(xf) + " out of range, " +
                        std::to_string(globals_.xf_is_date.size()) + " XF records");
  }
}

bool CellHeaderReader::IsDateXf(std::uint16_t xf) const {
  if (globals_.biff2_cells && xf == kXfFromIxfe) xf = ixfe_;
  if (globals_.version <= BiffVersion::kBiff4 && globals_.xf_is_date.empty()) return false;
  RequireXf(xf);
  return globals_.xf_is_date[xf];
}

void CellHeaderReader::Ixfe() {
  cursor_.RequireBody(2);
  ixfe_ = GetU16(cursor_.body(), 0);
}

}  // namespace zerova
