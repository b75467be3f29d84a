#include "formats/html/table_layout.h"

#include <algorithm>

#include "services/cell_address.h"

namespace zerova {
namespace {

constexpr std::int64_t kMaxColspan = 1000;
constexpr std::int64_t kMaxRowspan = 65534;

// The leading decimal digits of an attribute, as a browser reads them (" 3x" is 3);
// `fallback` when there are none. Clamped to `most`.
std::int64_t ParseSpan(std::string_view text, std::int64_t fallback, std::int64_t most) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n')) ++i;
  if (i == text.size() || text[i] < '0' || text[i] > '9') return fallback;
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = std::min(value * 10 + (text[i] - '0'), most);
  }
  return value;
}

}  // namespace

void TableLayout::StartRow() {
  ++row_;
  next_column_ = 1;
  in_row_ = true;
}

void TableLayout::StartCell(std::string_view colspan, std::string_view rowspan) {
  if (!in_row_) StartRow();
  const std::int64_t columns = std::max<std::int64_t>(ParseSpan(colspan, 1, kMaxColspan), 1);
  std::int64_t rows = ParseSpan(rowspan, 1, kMaxRowspan);
  if (rows == 0) rows = kMaxRowspan;  // to the end of the table
  column_ = covered_.FirstFree(next_column_, row_);
  next_column_ = column_ + columns;
  if (rows > 1 && row_ <= kSheetRows)
    covered_.Cover(column_, column_ + columns - 1, row_ + rows - 1);
}

void TableLayout::EndCell(std::string_view text) {
  if (text.empty()) return;
  if (row_ > kSheetRows) {
    sheet_->NoteRowsDropped();
  } else if (column_ > kSheetColumns) {
    sheet_->NoteColumnsDropped();
  } else {
    sheet_->PutText(row_, column_, text);
  }
}

std::unique_ptr<SheetStore> TableLayout::Finish() {
  sheet_->Seal();
  return std::move(sheet_);
}

}  // namespace zerova
