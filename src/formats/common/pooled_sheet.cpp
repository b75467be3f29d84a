#include "formats/common/pooled_sheet.h"

#include <algorithm>
#include <cassert>

namespace zerova {

std::uint64_t PooledSheet::Key(std::int64_t row, std::int64_t column) {
  // Column-major, so a walk down one column touches neighbouring entries.
  return (static_cast<std::uint64_t>(column) << 32) | static_cast<std::uint64_t>(row);
}

std::uint32_t PooledSheet::AddValue(CellValue value) {
  assert(!sealed_);
  pool_.push_back(std::move(value));
  return static_cast<std::uint32_t>(pool_.size() - 1);
}

void PooledSheet::PutIndex(std::int64_t row, std::int64_t column, std::uint32_t index) {
  assert(!sealed_);
  assert(index < pool_.size());
  assert(row >= 1 && row < (std::int64_t{1} << 32));
  assert(column >= 1 && column < (std::int64_t{1} << 31));
  cells_.emplace_back(Key(row, column), index);
}

void PooledSheet::Seal() {
  assert(!sealed_);
  // A stable sort keeps equal addresses in the order they were put; keep the last of each run.
  std::stable_sort(cells_.begin(), cells_.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  auto out = cells_.begin();
  for (auto it = cells_.begin(); it != cells_.end(); ++it) {
    auto next = it + 1;
    if (next != cells_.end() && next->first == it->first) continue;
    *out++ = *it;
  }
  cells_.erase(out, cells_.end());
  cells_.shrink_to_fit();
  pool_.shrink_to_fit();
  sealed_ = true;
}

CellView PooledSheet::Cell(std::int64_t row, std::int64_t column) const {
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
  return pool_[it->second];
}

}  // namespace zerova
