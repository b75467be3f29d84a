// Cell addresses: A1-style references ("B12") within the largest sheet
// (kSheetRows by kSheetColumns, worksheet.h).
#ifndef ZEROVA_SERVICES_CELL_ADDRESS_H_
#define ZEROVA_SERVICES_CELL_ADDRESS_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "services/worksheet.h"

namespace zerova {

// A cell's place on its sheet, 1-based: A1 is row 1, column 1.
struct CellPlace {
  std::int64_t row = 1;
  std::int64_t column = 1;
  bool operator==(const CellPlace&) const = default;
};

// Parses an A1 reference: column letters A..XFD, in either case, then the row
// number 1..kSheetRows without sign or leading zeros, "$" markers allowed before
// each. Stores the 1-based row and column and returns true; returns false (and
// stores nothing) for anything else, a reference outside the grid included.
bool ParseCellReference(std::string_view text, std::int64_t* row, std::int64_t* column);

// Parses a row number 1..kSheetRows written in decimal; false for anything else.
bool ParseRowNumber(std::string_view text, std::int64_t* row);

// The A1 reference of 1-based (`row`, `column`), for messages: "B12".
// REQUIRES: 1 <= column <= kSheetColumns.
std::string CellReferenceText(std::int64_t row, std::int64_t column);

}  // namespace zerova

#endif  // ZEROVA_SERVICES_CELL_ADDRESS_H_
