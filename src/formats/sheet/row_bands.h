// RowBands: the runs of a sheet store, cells repeated down rows and across columns.
//
// OpenDocument repeats a row, or a cell along a row, with a count: a row repeated
// a million times, or a cell repeated across 16,384 columns, is one run here, so
// memory grows with the runs a file writes, never with how far they reach. Runs
// come in bands of rows: every run of a band covers the same rows, and bands
// follow each other down the sheet.
#ifndef ZEROVA_FORMATS_SHEET_ROW_BANDS_H_
#define ZEROVA_FORMATS_SHEET_ROW_BANDS_H_

#include <cstdint>
#include <vector>

#include "formats/sheet/packed_value.h"

namespace zerova {

class RowBands {
 public:
  // Puts `value` in rows `first_row` .. `last_row`, columns `first_column` .. `last_column`.
  // An empty value is dropped.
  // REQUIRES: first_row <= last_row and first_column <= last_column; the rows are
  // those of the last run put, or all below them; in the same rows, first_column
  // is past the last run's columns.
  void Put(std::uint32_t first_row, std::uint32_t last_row, std::uint32_t first_column,
           std::uint32_t last_column, PackedValue value);

  // A place in one column: the first band not above `row`, and the value of that
  // band's run covering the column (null when none does).
  struct Position {
    std::uint64_t row = 0;
    std::uint32_t column = 0;
    std::size_t band = 0;
    const PackedValue* run = nullptr;
  };

  bool empty() const { return bands_.empty(); }

  // Calls `visit(first_row, last_row, first_column, last_column, value)` for each run.
  template <typename Visit>
  void ForEachRun(Visit visit) const {
    for (std::size_t band = 0; band < bands_.size(); ++band) {
      const std::size_t end = band + 1 < bands_.size() ? bands_[band + 1].first_run : runs_.size();
      for (std::size_t run = bands_[band].first_run; run < end; ++run) {
        visit(bands_[band].first_row, bands_[band].last_row, runs_[run].first_column,
              runs_[run].last_column, runs_[run].value);
      }
    }
  }

  Position Find(std::uint64_t row, std::uint32_t column) const;
  // The position one row below `at`.
  Position Below(Position at) const {
    ++at.row;
    if (at.band < bands_.size() && at.row > bands_[at.band].last_row) {
      ++at.band;
      at.run = RunValue(at.band, at.column);
    }
    return at;
  }
  // The last row of the run at `at`; 0 when no run covers it.
  std::uint64_t RunEnd(const Position& at) const {
    if (at.run == nullptr || at.row < bands_[at.band].first_row) return 0;
    return bands_[at.band].last_row;
  }
  // The value at `at`: its run's, or empty.
  PackedValue At(const Position& at) const {
    if (at.run == nullptr || at.row < bands_[at.band].first_row) return {};
    return *at.run;
  }

 private:
  struct Band {
    std::uint32_t first_row;
    std::uint32_t last_row;
    std::uint32_t first_run;  // into runs_
  };
  struct Run {
    std::uint32_t first_column;
    std::uint32_t last_column;
    PackedValue value;
  };

  // The value of the run covering `column` in band `band`; null when none does or
  // there is no such band.
  const PackedValue* RunValue(std::size_t band, std::uint32_t column) const;

  std::vector<Band> bands_;
  std::vector<Run> runs_;
};

}  // namespace zerova

#endif  // ZEROVA_FORMATS_SHEET_ROW_BANDS_H_
