#include "formats/sheet/column_cells.h"

#include <algorithm>
#include <cassert>
#include <utility>

namespace zerova {

void ColumnCells::Put(std::uint32_t row, PackedValue value) {
  assert(row >= 1 && row < UINT32_MAX);
  if (in_order_ && row == tail_row_ + 1 && !segments_.empty()) {  // the row below the last: usual
    if (!value.IsEmpty()) {
      values_.push_back(value);
      tail_row_ = row;
    }
    return;
  }
  if (!values_.empty() && row == tail_row_) {  // the cell just put, put again
    values_.SetLast(value);
    return;
  }
  if (in_order_) {
    if (values_.empty() || row > tail_row_) {
      if (!value.IsEmpty()) Append(row, value);  // an empty cell below the rest changes nothing
      return;
    }
    const Position at = Find(row);
    if (at.segment < segments_.size() && row >= segments_[at.segment].first_row) {
      values_.Set(segments_[at.segment].first_index + (row - segments_[at.segment].first_row),
                  value);
      return;
    }
    if (value.IsEmpty()) return;  // no cell there to empty
    in_order_ = false;
  }
  Append(row, value);
}

void ColumnCells::Append(std::uint32_t row, PackedValue value) {
  if (segments_.empty() || row != tail_row_ + 1) {
    segments_.push_back({row, static_cast<std::uint32_t>(values_.size())});
  }
  values_.push_back(value);
  tail_row_ = row;
}

void ColumnCells::Seal() {
  if (!in_order_) Sort();
  in_order_ = true;
}

// Orders the cells by row, keeping the last put for each row and dropping empty ones.
void ColumnCells::Sort() {
  std::vector<std::pair<std::uint32_t, std::uint32_t>> order;  // row, index
  order.reserve(values_.size());
  for (std::size_t s = 0; s < segments_.size(); ++s) {
    for (std::size_t i = segments_[s].first_index; i < EndIndex(s); ++i) {
      order.emplace_back(segments_[s].first_row + (i - segments_[s].first_index), i);
    }
  }
  std::sort(order.begin(), order.end());
  const ValueChunks values = std::move(values_);
  values_ = ValueChunks();
  segments_.clear();
  for (std::size_t i = 0; i < order.size(); ++i) {
    const auto [row, index] = order[i];
    if (i + 1 < order.size() && order[i + 1].first == row) continue;  // a later put wins
    if (!values[index].IsEmpty()) Append(row, values[index]);
  }
}

ColumnCells::Position ColumnCells::Find(std::uint64_t row) const {
  const auto after = std::upper_bound(
      segments_.begin(), segments_.end(), row,
      [](std::uint64_t r, const Segment& segment) { return r < segment.first_row; });
  std::size_t segment = static_cast<std::size_t>(after - segments_.begin());
  if (segment > 0 && row <= LastRow(segment - 1)) --segment;
  return {row, segment};
}

}  // namespace zerova
