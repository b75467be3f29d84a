#include "formats/xls/cell_values.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace zerova {

double RkNumber(std::uint32_t rk) {
  double value;
  if ((rk & 0x02) != 0) {
    value = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
  } else {
    const std::uint64_t bits = static_cast<std::uint64_t>(rk & 0xFFFFFFFCu) << 32;
    std::memcpy(&value, &bits, sizeof value);
  }
  return (rk & 0x01) != 0 ? value / 100 : value;
}

CellValue NumberCell(double number, bool date, DateSystem system) {
  if (date && std::isfinite(number)) return CellValue::Date(number, system);
  return CellValue::Number(number);
}

CellValue ErrorCell(const BiffRecordCursor& cursor, std::uint8_t code) {
  CellError error;
  if (!CellErrorFromCode(code, &error)) {
    char buf[80];
    std::snprintf(buf, sizeof buf, "damaged record %s: unknown error code 0x%02X",
                  BiffRecordCursor::Describe(cursor.id()).c_str(), code);
    cursor.Fail(buf);
  }
  return CellValue::Error(error);
}

}  // namespace zerova
