// ChooseSheet: which sheet of a workbook a conversion reads. The one chooser for
// the command line and the window alike.
#ifndef ZEROVA_CONVERSION_SHEET_CHOICE_H_
#define ZEROVA_CONVERSION_SHEET_CHOICE_H_

#include <cstddef>
#include <string>

#include "services/workbook.h"

namespace zerova {

// The index of the sheet `wanted` names in `book`: "" the active sheet; else the
// sheet of exactly that name, else, when `wanted` is a number N, the Nth sheet
// (from 1). `file` names the workbook in messages.
// Throws ReadError naming `file` when no sheet fits ("no sheet is named "X"; the
// sheets are "A", "B" and "C""), or when the sheet chosen is not a worksheet
// ("the active sheet "C" is a chart, not a worksheet").
std::size_t ChooseSheet(Workbook& book, const std::string& wanted, const std::string& file);

}  // namespace zerova

#endif  // ZEROVA_CONVERSION_SHEET_CHOICE_H_
