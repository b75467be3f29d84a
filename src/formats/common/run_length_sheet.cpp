#include "formats/common/run_length_sheet.h"

#include <algorithm>
#include <cassert>

namespace zerova {

void RunLengthSheet::StartRows(std::int64_t first_row, std::int64_t last_row) {
  assert(first_row <= last_row);
  assert(rows_.empty() || first_row > rows_.back().last);
  pending_first_ = first_row;
  pending_last_ = last_row;
}

void RunLengthSheet::AddCells(std::int64_t first_column, std::int64_t last_column,
                              CellValue value) {
  assert(first_column <= last_column);
  if (value.IsEmpty()) return;
  if (pending_first_ != 0) {
    rows_.push_back({pending_first_, pending_last_, cells_.size()});
    pending_first_ = 0;
  }
  assert(!rows_.empty());
  assert(cells_.size() == rows_.back().first_cell || first_column > cells_.back().last);
  cells_.push_back({first_column, last_column, std::move(value)});
}

CellView RunLengthSheet::Cell(std::int64_t row, std::int64_t column) const {
  static const CellValue kEmpty;
  // The last row run starting at or before `row`.
  auto run = std::upper_bound(rows_.begin(), rows_.end(), row,
                              [](std::int64_t r, const RowRun& run) { return r < run.first; });
  if (run == rows_.begin()) return kEmpty;
  --run;
  if (row > run->last) return kEmpty;
  const auto begin = cells_.begin() + static_cast<std::ptrdiff_t>(run->first_cell);
  const auto end = run + 1 == rows_.end()
                       ? cells_.end()
                       : cells_.begin() + static_cast<std::ptrdiff_t>((run + 1)->first_cell);
  auto cell = std::upper_bound(begin, end, column,
                               [](std::int64_t c, const CellRun& cell) { return c < cell.first; });
  if (cell == begin) return kEmpty;
  --cell;
  return column <= cell->last ? cell->value : kEmpty;
}

}  // namespace zerova
