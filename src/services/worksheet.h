// Worksheet: one sheet of a workbook, read whole, answering its cells.
//
// A reader parses the whole sheet when it reads it, so every fault of the file
// is found before the conversion writes anything; reading a cell never fails.
#ifndef ZEROVA_SERVICES_WORKSHEET_H_
#define ZEROVA_SERVICES_WORKSHEET_H_

#include <cstdint>
#include <functional>
#include <memory>

#include "services/cell_value.h"

namespace zerova {

// The largest sheet Excel holds (Excel 2007 and later): what lies past it is
// dropped when a sheet is read, as Excel drops it, and the sheet says so.
inline constexpr std::int64_t kSheetRows = 1048576;
inline constexpr std::int64_t kSheetColumns = 16384;

// Reads one column of a worksheet downward, a row at a time. It must not outlive
// the worksheet that made it.
class ColumnCursor {
 public:
  virtual ~ColumnCursor() = default;

  // The cell at the cursor's row. Its text stays valid as long as the worksheet lives.
  virtual CellView Cell() const = 0;

  // Moves to the next row down.
  virtual void Down() = 0;

  // How many rows, from the cursor's own down, are known to hold this same cell:
  // at least 1. A sheet that holds a repeated cell as one run answers the run's
  // remaining length, so a walk that only counts may step over it at once.
  virtual std::int64_t Repeats() const { return 1; }

  // Moves `rows` rows down (rows >= 0).
  virtual void Skip(std::int64_t rows) {
    for (; rows > 0; --rows) Down();
  }

  // Moves down past cells that are not empty, stopping at the first empty one or
  // once it has passed `most` (a run of repeats is passed whole), and returns how
  // many rows it passed. For a walk that only counts.
  virtual std::int64_t SkipFilled(std::int64_t most) {
    std::int64_t passed = 0;
    while (passed < most && !Cell().IsEmpty()) {
      const std::int64_t rows = Repeats();
      Skip(rows);
      passed += rows;
    }
    return passed;
  }
};

// What a reader left out of a sheet because it lies past kSheetRows or
// kSheetColumns.
struct SheetClipping {
  bool rows = false;     // cells below row kSheetRows
  bool columns = false;  // cells right of column kSheetColumns

  bool any() const { return rows || columns; }
};

// A rectangle of cells: rows first_row..last_row of columns first_column..last_column.
struct CellBlock {
  std::int64_t first_row = 1;
  std::int64_t last_row = 1;
  std::int64_t first_column = 1;
  std::int64_t last_column = 1;
};

class Worksheet {
 public:
  virtual ~Worksheet() = default;

  // The value of the cell at 1-based (`row`, `column`). Any address is allowed:
  // a cell outside the sheet is empty. The view's text stays valid as long as
  // this Worksheet lives.
  virtual CellView Cell(std::int64_t row, std::int64_t column) const = 0;

  // A cursor on (`row`, `column`), answering what Cell would for each row it
  // moves down to. This default asks Cell; a sheet built for the walk answers each
  // step in constant time.
  virtual std::unique_ptr<ColumnCursor> CursorAt(std::int64_t row, std::int64_t column) const;

  // Calls `visit` with blocks of cells that are not empty (CellView::IsEmpty),
  // which together hold every such cell of the sheet once, in no particular
  // order; a block of repeats is one call, however many cells it covers. By
  // default no call: a sheet that cannot tell lists no cell.
  virtual void ForEachFilledBlock(const std::function<void(const CellBlock&)>& /*visit*/) const {}

  // What the reader dropped past the sheet's limits; by default nothing.
  virtual SheetClipping Clipped() const { return {}; }
};

}  // namespace zerova

#endif  // ZEROVA_SERVICES_WORKSHEET_H_
