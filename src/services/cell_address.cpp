#include "services/cell_address.h"

namespace zerova {
namespace {

// The row number at the end of a reference: one to seven digits, the first not
// 0, up to kSheetRows; 0 for anything else.
std::int64_t RowIn(std::string_view digits) {
  if (digits.empty() || digits[0] == '0' || digits.size() > 7) return 0;
  std::int64_t row = 0;
  for (const char c : digits) {
    const auto digit = static_cast<unsigned>(c - '0');
    if (digit > 9) return 0;
    row = row * 10 + digit;
  }
  return row <= kSheetRows ? row : 0;
}

}  // namespace

bool ParseRowNumber(std::string_view text, std::int64_t* row) {
  const std::int64_t value = RowIn(text);
  if (value == 0) return false;
  *row = value;
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
  if (p == letters || column_value > kSheetColumns) return false;
  if (p != end && *p == '$') ++p;
  const std::int64_t row_value = RowIn(std::string_view(p, static_cast<std::size_t>(end - p)));
  if (row_value == 0) return false;
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
