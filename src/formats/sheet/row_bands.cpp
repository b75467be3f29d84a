#include "formats/sheet/row_bands.h"

#include <algorithm>
#include <cassert>

namespace zerova {

void RowBands::Put(std::uint32_t first_row, std::uint32_t last_row, std::uint32_t first_column,
                   std::uint32_t last_column, PackedValue value) {
  assert(first_row <= last_row && first_column <= last_column);
  if (value.IsEmpty()) return;
  if (bands_.empty() || bands_.back().first_row != first_row) {
    assert(bands_.empty() || first_row > bands_.back().last_row);
    bands_.push_back({first_row, last_row, static_cast<std::uint32_t>(runs_.size())});
  } else {
    assert(last_row == bands_.back().last_row && first_column > runs_.back().last_column);
  }
  runs_.push_back({first_column, last_column, value});
}

RowBands::Position RowBands::Find(std::uint64_t row, std::uint32_t column) const {
  const auto band =
      std::lower_bound(bands_.begin(), bands_.end(), row,
                       [](const Band& band, std::uint64_t r) { return band.last_row < r; });
  const auto index = static_cast<std::size_t>(band - bands_.begin());
  return {row, column, index, RunValue(index, column)};
}

const PackedValue* RowBands::RunValue(std::size_t band, std::uint32_t column) const {
  if (band >= bands_.size()) return nullptr;
  const auto begin = runs_.begin() + bands_[band].first_run;
  const auto end =
      band + 1 < bands_.size() ? runs_.begin() + bands_[band + 1].first_run : runs_.end();
  auto run = std::upper_bound(begin, end, column,
                              [](std::uint32_t c, const Run& run) { return c < run.first_column; });
  if (run == begin) return nullptr;
  --run;
  return column <= run->last_column ? &run->value : nullptr;
}

}  // namespace zerova
