#include "services/sparse_sheet.h"

#include <algorithm>
#include <cassert>

namespace zerova {

std::uint64_t SparseSheet::Key(std::int64_t row, std::int64_t column) {
  // Column-major, so a walk down one column touches neighbouring entries.
  return (static_cast<std::uint64_t>(column) << 32) | static_cast<std::uint64_t>(row);
}

void SparseSheet::Put(std::int64_t row, std::int64_t column, CellValue value) {
  assert(!sealed_);
  assert(row >= 1 && row < (std::int64_t{1} << 32));
  assert(column >= 1 && column < (std::int64_t{1} << 31));
  cells_.emplace_back(Key(row, column), std::move(value));
}

void SparseSheet::Seal() {
  assert(!sealed_);
  // A stable sort keeps equal addresses in the order they were put; keep the last of each run.
  std::stable_sort(cells_.begin(), cells_.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  auto out = cells_.begin();
  for (auto it = cells_.begin(); it != cells_.end(); ++it) {
    auto next = it + 1;
    if (next != cells_.end() && next->first == it->first) continue;
    if (out != it) *out = std::move(*it);
    ++out;
  }
  cells_.erase(out, cells_.end());
  cells_.shrink_to_fit();
  sealed_ = true;
}

const CellValue& SparseSheet::Cell(std::int64_t row, std::int64_t column) const {
  assert(sealed_);
  static const CellValue kEmpty;
  if (row < 1 || column < 1 || row >= (std::int64_t{1} << 32) ||
      column >= (std::int64_t{1} << 31)) {
    return kEmpty;
  }
  const std::uint64_t key = Key(row, column);
  auto it = std::lower_bound(cells_.begin(), cells_.end(), key,
                             [](const auto& cell, std::uint64_t k) { return cell.first < k; });
  if (it == cells_.end() || it->first != key) return kEmpty;
  return it->second;
}

}  // namespace zerova
