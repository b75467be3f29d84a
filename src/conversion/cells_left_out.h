// The filled cells a conversion does not reach. The first empty cell ends a
// column and the first empty label ends the table, so a sheet may hold filled
// cells below a gap in a column or right of an empty label that no node shows;
// these find them, for a note, and the first filled cell, for a table that does
// not start where it was looked for.
#ifndef ZEROVA_CONVERSION_CELLS_LEFT_OUT_H_
#define ZEROVA_CONVERSION_CELLS_LEFT_OUT_H_

#include <cstdint>
#include <optional>
#include <vector>

#include "services/cell_address.h"
#include "services/worksheet.h"

namespace zerova {

// The table a run converted: where its first label stands, and how many values
// stand under each label, node by node from the first.
struct TableReach {
  CellPlace first;
  std::vector<std::int64_t> values;
};

struct CellsLeftOut {
  std::int64_t count = 0;
  CellPlace first;  // the first of them, row by row; A1 when there are none
};

// The filled cells of `sheet` that lie at or below the table's label row and
// at or right of its first column (what the walk from its first cell could
// reach), but outside the table. Cells above or left of the first cell are not
// counted: the table was placed after them on purpose. Takes as long as the
// sheet's filled blocks (Worksheet::ForEachFilledBlock) and the table's cells,
// however many cells a block of repeats covers.
CellsLeftOut FindCellsLeftOut(const Worksheet& sheet, const TableReach& table);

// The first filled cell of `sheet`, row by row; nullopt when it has none.
std::optional<CellPlace> FirstFilledCell(const Worksheet& sheet);

}  // namespace zerova

#endif  // ZEROVA_CONVERSION_CELLS_LEFT_OUT_H_
