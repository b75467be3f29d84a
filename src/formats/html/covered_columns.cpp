#include "formats/html/covered_columns.h"

#include <algorithm>

#include "services/cell_address.h"

namespace zerova {
namespace {

constexpr std::size_t kNodes = 2 * static_cast<std::size_t>(kSheetColumns);

}  // namespace

void CoveredColumns::Cover(std::int64_t first, std::int64_t last, std::int64_t last_row) {
  if (first > kSheetColumns) return;
  if (whole_.empty()) {
    whole_.assign(kNodes, 0);
    least_.assign(kNodes, 0);
  }
  Cover(1, 1, kSheetColumns, first, std::min(last, kSheetColumns),
        static_cast<std::int32_t>(last_row));
}

void CoveredColumns::Cover(std::size_t node, std::int64_t low, std::int64_t high,
                           std::int64_t first, std::int64_t last, std::int32_t last_row) {
  if (last < low || high < first || least_[node] >= last_row) return;
  if (first <= low && high <= last) {
    whole_[node] = std::max(whole_[node], last_row);
    least_[node] = std::max(least_[node], last_row);
    return;
  }
  const std::int64_t middle = low + (high - low) / 2;
  Cover(2 * node, low, middle, first, last, last_row);
  Cover(2 * node + 1, middle + 1, high, first, last, last_row);
  least_[node] = std::max(whole_[node], std::min(least_[2 * node], least_[2 * node + 1]));
}

std::int64_t CoveredColumns::FirstFree(std::int64_t column, std::int64_t row) const {
  if (whole_.empty() || column > kSheetColumns) return column;
  const std::int64_t free = FirstFree(1, 1, kSheetColumns, column, row, 0);
  return free > 0 ? free : kSheetColumns + 1;
}

// `above`: the greatest last row set on the nodes above this one.
std::int64_t CoveredColumns::FirstFree(std::size_t node, std::int64_t low, std::int64_t high,
                                       std::int64_t column, std::int64_t row,
                                       std::int32_t above) const {
  if (high < column || std::max(above, least_[node]) >= row) return 0;
  if (low == high) return low;
  const std::int32_t here = std::max(above, whole_[node]);
  const std::int64_t middle = low + (high - low) / 2;
  const std::int64_t left = FirstFree(2 * node, low, middle, column, row, here);
  return left > 0 ? left : FirstFree(2 * node + 1, middle + 1, high, column, row, here);
}

}  // namespace zerova
