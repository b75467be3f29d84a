// The notes a conversion run shows with its completion message: sentences on
// what the document does not show, the same in the window and on the command
// line (which names the document before each).
#ifndef ZEROVA_CONVERSION_RUN_NOTES_H_
#define ZEROVA_CONVERSION_RUN_NOTES_H_

#include <optional>
#include <string>

#include "conversion/cells_left_out.h"
#include "services/cell_address.h"
#include "services/worksheet.h"

namespace zerova {

// Cells past the sheet's limits that the reader left out ("the sheet has cells
// past column 16,384 (XFD); they were left out, as Excel leaves them out"); ""
// when there were none.
std::string ClippingNote(const SheetClipping& clipping);

// Why a document has no nodes: the cell where the first label belongs, `first`,
// is empty; the sheet's first filled cell, `first_filled` (nullopt: none), and
// the option that reads the table from there.
std::string NoNodesNote(CellPlace first, std::optional<CellPlace> first_filled);

// Filled cells below a gap in a column or right of an empty label, left out:
// how many and where the first is; "" when there are none.
std::string LeftOutNote(const CellsLeftOut& left_out);

}  // namespace zerova

#endif  // ZEROVA_CONVERSION_RUN_NOTES_H_
