// SheetListing: what `zerova --list-sheets FILE` prints.
#ifndef ZEROVA_CLI_SHEET_LISTING_H_
#define ZEROVA_CLI_SHEET_LISTING_H_

#include <string>

#include "services/workbook.h"

namespace zerova {

// One line per sheet of `book`, in workbook order: its number (from 1), TAB,
// its name as messages show it (PrintableText: a TAB or line break in it is
// written \t, \n, so each sheet stays one line of three fields at most); then
// TAB "active" on the active sheet (the one a conversion reads by default), and
// TAB and its kind ("chart", "macro sheet", ...) on a sheet that is no
// worksheet. Throws as Workbook::Sheets does.
std::string SheetListing(Workbook& book);

}  // namespace zerova

#endif  // ZEROVA_CLI_SHEET_LISTING_H_
