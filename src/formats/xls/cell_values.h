// The values that BIFF cell records store besides text: numbers in a date format or
// another, and error codes (RK numbers: formats/numbers/rk_number.h).
#ifndef ZEROVA_FORMATS_XLS_CELL_VALUES_H_
#define ZEROVA_FORMATS_XLS_CELL_VALUES_H_

#include <cstdint>

#include "formats/sheet/packed_value.h"
#include "formats/xls/record_cursor.h"
#include "services/cell_value.h"

namespace zerova {

// `number` as a date in `system` when `date` says its format shows one and it is
// finite, else as a number.
PackedValue NumberCell(double number, bool date, DateSystem system);

// The error whose BIFF code is `code` ([MS-XLS] 2.5.97 BErr). Throws ReadError
// naming the cursor's current record for a code outside the seven.
PackedValue ErrorCell(const BiffRecordCursor& cursor, std::uint8_t code);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLS_CELL_VALUES_H_
