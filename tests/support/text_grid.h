// A large workbook whose document is known: a grid of text cells, for the tests
// that need a conversion long enough to watch, interrupt or cancel.
#ifndef ZEROVA_TESTS_SUPPORT_TEXT_GRID_H_
#define ZEROVA_TESTS_SUPPORT_TEXT_GRID_H_

#include <string>

#include "support/biff_builder.h"

namespace zerova::test {

// An .xls (BIFF8) workbook of `rows` rows by `columns` columns: row 1 holds the
// labels "Column 1", "Column 2", ...; below them every cell holds "rRcC", its own
// row and column. REQUIRES: 1 <= rows <= 65536, 1 <= columns <= 256.
Bytes TextGridWorkbook(int rows, int columns);

// The document Zerova writes for TextGridWorkbook(rows, columns), from the rules
// of the output document: one node per column, one value per row below row 1.
std::string TextGridDocument(int rows, int columns);

}  // namespace zerova::test

#endif  // ZEROVA_TESTS_SUPPORT_TEXT_GRID_H_
