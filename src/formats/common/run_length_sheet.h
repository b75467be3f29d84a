// RunLengthSheet: an in-memory worksheet built from runs of repeated rows and
// cells, as OpenDocument stores them.
//
// A row repeated a million times, or a cell repeated across 16,384 columns, is
// kept once: memory grows with the runs a file writes, never with how far they
// repeat. Empty cells are not stored at all.
#ifndef ZEROVA_FORMATS_COMMON_RUN_LENGTH_SHEET_H_
#define ZEROVA_FORMATS_COMMON_RUN_LENGTH_SHEET_H_

#include <cstdint>
#include <vector>

#include "services/spreadsheet.h"

namespace zerova {

class RunLengthSheet final : public Worksheet {
 public:
  // Starts the rows `first_row` .. `last_row` (1-based), all alike; the cells
  // added until the next StartRows belong to each of them.
  // REQUIRES: first_row > the last row of every earlier StartRows; first_row <= last_row.
  void StartRows(std::int64_t first_row, std::int64_t last_row);

  // Puts `value` in columns `first_column` .. `last_column` of the current rows.
  // An empty value is dropped.
  // REQUIRES: a StartRows before; first_column > the last column added since it;
  // first_column <= last_column.
  void AddCells(std::int64_t first_column, std::int64_t last_column, CellValue value);

  CellView Cell(std::int64_t row, std::int64_t column) const override;

 private:
  struct RowRun {
    std::int64_t first;
    std::int64_t last;
    std::size_t first_cell;  // index in cells_ of the run's first cell run
  };
  struct CellRun {
    std::int64_t first;
    std::int64_t last;
    CellValue value;
  };

  std::vector<RowRun> rows_;
  std::vector<CellRun> cells_;
  std::int64_t pending_first_ = 0;  // rows started but holding no cell yet
  std::int64_t pending_last_ = 0;
};

}  // namespace zerova

#endif  // ZEROVA_FORMATS_COMMON_RUN_LENGTH_SHEET_H_
