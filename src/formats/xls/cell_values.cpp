#include "formats/xls/cell_values.h"

#include <cmath>
#include <cstdio>

namespace zerova {

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
