#include "conversion/cells_left_out.h"

#include <algorithm>
#include <numeric>

namespace zerova {
namespace {

bool Before(const CellPlace& a, const CellPlace& b) {
  return a.row < b.row || (a.row == b.row && a.column < b.column);
}

// The first cell of `block` (within the table's reach) outside the table, row
// by row; nullopt when the table holds all of it. A table column the block
// lies in whole costs a step, and covers a cell of the table at least.
std::optional<CellPlace> FirstOutside(const CellBlock& block, const TableReach& table) {
  const std::int64_t last_node_column =
      table.first.column + static_cast<std::int64_t>(table.values.size()) - 1;
  std::optional<CellPlace> first;
  for (std::int64_t column = block.first_column;
       column <= std::min(block.last_column, last_node_column); ++column) {
    const std::int64_t last_table_row =
        table.first.row + table.values[static_cast<std::size_t>(column - table.first.column)];
    const std::int64_t row = std::max(block.first_row, last_table_row + 1);
    if (row > block.last_row || (first && row >= first->row)) continue;
    first = CellPlace{row, column};
    if (row == block.first_row) return first;  // no cell of the block comes before it
  }
  if (block.last_column > last_node_column) {
    const CellPlace right{block.first_row, std::max(block.first_column, last_node_column + 1)};
    if (!first || Before(right, *first)) first = right;
  }
  return first;
}

}  // namespace

CellsLeftOut FindCellsLeftOut(const Worksheet& sheet, const TableReach& table) {
  std::int64_t reached = 0;  // filled cells within the table's reach, the table's own included
  std::optional<CellPlace> first;
  sheet.ForEachFilledBlock([&](const CellBlock& filled) {
    CellBlock block = filled;
    block.first_row = std::max(block.first_row, table.first.row);
    block.first_column = std::max(block.first_column, table.first.column);
    if (block.first_row > block.last_row || block.first_column > block.last_column) return;
    reached +=
        (block.last_row - block.first_row + 1) * (block.last_column - block.first_column + 1);
    const std::optional<CellPlace> outside = FirstOutside(block, table);
    if (outside && (!first || Before(*outside, *first))) first = outside;
  });
  // Every cell of the table is filled: a label and the values down to the first empty cell.
  const std::int64_t in_table =
      std::accumulate(table.values.begin(), table.values.end(), std::int64_t{0}) +
      static_cast<std::int64_t>(table.values.size());
  return {std::max<std::int64_t>(reached - in_table, 0), first.value_or(CellPlace{})};
}

std::optional<CellPlace> FirstFilledCell(const Worksheet& sheet) {
  std::optional<CellPlace> first;
  sheet.ForEachFilledBlock([&](const CellBlock& block) {
    const CellPlace corner{block.first_row, block.first_column};
    if (!first || Before(corner, *first)) first = corner;
  });
  return first;
}

}  // namespace zerova
