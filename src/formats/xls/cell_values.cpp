#include "formats/xls/cell_values.h"

#include <cmath>
#include <cstdio>

namespace zerova {

PackedValue NumberCell(double number, bool date, DateSystem system) {
  if (date && std::isfinite(number)) return PackedValue::Date(number, system);
  return PackedValue::Number(number);
}

PackedValue ErrorCell(const BiffRecordCursor& cursor, std::uint8_t code) {
  CellError error;
  if (!CellErrorFromCode(code, &error)) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "unknown error code 0x%02X", code);
    cursor.Malformed(buf);
  }
  return PackedValue::Error(error);
}

}  // namespace zerova
