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
  std::size_t i = 0;
  if (i < text.size() && text[i] == '$') ++i;
  std::int64_t letters_value = 0;
  const std::size_t letters_start = i;
  for (; i < text.size() && i - letters_start < 4; ++i) {
    char c = text[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c < 'A' || c > 'Z') break;
    letters_value = letters_value * 26 + (c - 'A' + 1);
  }
  if (i == letters_start || letters_value > kMaxColumns) return false;
  if (i < text.size() && text[i] == '$') ++i;
  std::int64_t row_value = 0;
  if (!ParseRowNumber(text.substr(i), &row_value)) return false;
  *row = row_value;
  *column = letters_value;
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
