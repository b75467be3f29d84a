// ColumnCells: the single cells of one column of a sheet store, kept in row order.
//
// Values lie in row order, a kind byte and eight bytes each, in chunks that
// never move (value_chunks.h); segments name the rows of each stretch of
// consecutive rows, so a full column costs nine bytes a cell, at its peak too,
// and finding the cell below one is a step, not a search. Cells put in row order are appended; a
// cell put again replaces the earlier one in place; cells put out of order are sorted once, by
// Seal, the last put for a row winning.
#ifndef ZEROVA_FORMATS_SHEET_COLUMN_CELLS_H_
#define ZEROVA_FORMATS_SHEET_COLUMN_CELLS_H_

#include <algorithm>
#include <cstdint>
#include <vector>

#include "formats/sheet/packed_value.h"
#include "formats/sheet/value_chunks.h"

namespace zerova {

class ColumnCells {
 public:
  // Puts `value` at `row`, replacing what was put there before.
  // REQUIRES: not sealed; 1 <= row < 2^32 - 1.
  void Put(std::uint32_t row, PackedValue value);

  // Sorts cells put out of order. Call once, after the last Put.
  void Seal();

  // A place in the column: the segment holding `row`, or the first one after it.
  struct Position {
    std::uint64_t row = 0;
    std::size_t segment = 0;
  };

  // REQUIRES for the rest: sealed.
  Position Find(std::uint64_t row) const;
  // The position one row below `at`.
  Position Below(Position at) const {
    ++at.row;
    if (at.segment < segments_.size() && at.row > LastRow(at.segment)) ++at.segment;
    return at;
  }
  // The first row at or below `at` that holds a cell put there (maybe an empty
  // one); UINT64_MAX when none does.
  std::uint64_t NextRow(Position at) const {
    if (at.segment == segments_.size()) return UINT64_MAX;
    return std::max<std::uint64_t>(at.row, segments_[at.segment].first_row);
  }
  // How many values from `at` down, in consecutive rows, `filled` answers true
  // for, `most` at most.
  template <typename Filled>
  std::uint64_t CountFilled(Position at, std::uint64_t most, Filled filled) const {
    if (at.segment == segments_.size() || at.row < segments_[at.segment].first_row) return 0;
    const std::size_t first =
        segments_[at.segment].first_index + (at.row - segments_[at.segment].first_row);
    const std::size_t end = std::min<std::uint64_t>(EndIndex(at.segment), first + most);
    std::size_t index = first;
    while (index < end && filled(values_[index])) ++index;
    return index - first;
  }
  // Calls `visit(first_row, last_row)` for each stretch of consecutive rows
  // whose values `filled` answers true for, top down.
  template <typename Filled, typename Visit>
  void ForEachFilled(Filled filled, Visit visit) const {
    for (std::size_t segment = 0; segment < segments_.size(); ++segment) {
      const std::size_t first = segments_[segment].first_index, end = EndIndex(segment);
      for (std::size_t index = first; index < end;) {
        if (!filled(values_[index])) {
          ++index;
          continue;
        }
        const std::size_t start = index;
        while (index < end && filled(values_[index])) ++index;
        visit(std::uint64_t{segments_[segment].first_row} + (start - first),
              std::uint64_t{segments_[segment].first_row} + (index - 1 - first));
      }
    }
  }
  // The value at `at`; empty when no cell was put there.
  PackedValue At(Position at) const {
    if (at.segment == segments_.size() || at.row < segments_[at.segment].first_row) return {};
    const Segment& segment = segments_[at.segment];
    return values_[segment.first_index + (at.row - segment.first_row)];
  }

 private:
  struct Segment {
    std::uint32_t first_row;
    std::uint32_t first_index;  // into values_
  };

  std::size_t EndIndex(std::size_t segment) const {
    return segment + 1 < segments_.size() ? segments_[segment + 1].first_index : values_.size();
  }
  std::uint64_t LastRow(std::size_t segment) const {
    return segments_[segment].first_row + (EndIndex(segment) - segments_[segment].first_index) - 1;
  }
  void Append(std::uint32_t row, PackedValue value);
  void Sort();

  std::vector<Segment> segments_;
  ValueChunks values_;
  std::uint32_t tail_row_ = 0;  // the row of the value appended last
  bool in_order_ = true;        // rows so far ascend, each once
};

}  // namespace zerova

#endif  // ZEROVA_FORMATS_SHEET_COLUMN_CELLS_H_
