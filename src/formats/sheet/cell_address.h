// Cell addresses: the grid's limits and A1-style references ("B12").
#ifndef ZEROVA_FORMATS_SHEET_CELL_ADDRESS_H_
#define ZEROVA_FORMATS_SHEET_CELL_ADDRESS_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace zerova {

// The largest grid .xlsx and .ods workbooks hold: 1,048,576 rows by 16,384 columns (XFD).
inline constexpr std::int64_t kMaxRows = 1048576;
inline constexpr std::int64_t kMaxColumns = 16384;

// Parses an A1 reference: column letters A..XFD, in either case, then the row
// number 1..kMaxRows without sign or leading zeros, "$" markers allowed before
// each. Stores the 1-based row and column and returns true; returns false (and
// stores nothing) for anything else, a reference outside the grid included.
bool ParseCellReference(std::string_view text, std::int64_t* row, std::int64_t* column);

// Parses a row number 1..kMaxRows written in decimal; false for anything else.
bool ParseRowNumber(std::string_view text, std::int64_t* row);

// The A1 reference of 1-based (`row`, `column`), for messages: "B12".
// REQUIRES: 1 <= column <= kMaxColumns.
std::string CellReferenceText(std::int64_t row, std::int64_t column);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_SHEET_CELL_ADDRESS_H_
