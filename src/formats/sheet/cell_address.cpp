#include "formats/sheet/cell_address.h"

#include "formats/numbers/value_text.h"

namespace zerova {

bool ParseRowNumber(std::string_view text, std::int64_t* row) {
  std::uint64_t value = 0;
  if (!ParseCountText(text, &value) || text[0] == '0' || value > kMaxRows) return false;
  *row = static_cast<std::int64_t>(value);
  return true;
}

bool ParseCellReference(std::string_view text, std::int64_t* row, std::int64_t* column) {
  const char* p = text.data();
  const char* const end = p + text.size();
  if (p != end && *p == '$') ++p;
  // One to four letters; A..XFD counts the columns. (c | 0x20) - 'a' is below 26
  // for the letters of either case alone.
  const char* const letters = p;
  std::int64_t column_value = 0;
  for (unsigned letter;
       p != end && p - letters < 4 && (letter = static_cast<unsigned>((*p | 0x20) - 'a')) < 26;
       ++p) {
    column_value = column_value * 26 + letter + 1;
  }
  if (p == letters || column_value > kMaxColumns) return false;
  if (p != end && *p == '$') ++p;
  // The row: one to seven digits, the first not 0, up to kMaxRows.
  if (p == end || *p == '0' || end - p > 7) return false;
  std::int64_t row_value = 0;
  for (; p != end; ++p) {
    const auto digit = static_cast<unsigned>(*p - '0');
    if (digit > 9) return false;
    row_value = row_value * 10 + digit;
  }
  if (row_value > kMaxRows) return false;
  *row = row_value;
  *column = column_value;
  return true;
}

std::string CellReferenceText(std::int64_t row, std::int64_t column) {
  std::string letters;
  for (std::int64_t n = column; n > 0; n = (n - 1) / 26) {
    letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
  }
  return letters + std::to_string(row);
}

}  // namespace zerova
