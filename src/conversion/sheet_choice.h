// ChooseSheet: which sheet of a workbook a conversion reads. The one chooser for
// the command line and the window alike.
#ifndef ZEROVA_CONVERSION_SHEET_CHOICE_H_
#define ZEROVA_CONVERSION_SHEET_CHOICE_H_

#include <cstddef>
#include <string>

#include "services/workbook.h"

namespace zerova {

// The sheet a user asks for.
struct SheetRequest {
  enum class By {
    kActive,        // the one active when the workbook was saved
    kNameOrNumber,  // `name`: a sheet's name, else a number N, the Nth sheet
    kNumber,        // `number`: the Nth sheet, from 1, whatever the names
  };
  By by = By::kActive;
  std::string name;
  std::size_t number = 0;
};

struct SheetChoice {
  std::size_t index = 0;  // in Sheets()
  // A sentence to show with the result, or "": a name that is also a number
  // was taken as the name, although the number would pick another sheet.
  std::string note;
};

// The sheet `request` names in `book`. By name, a sheet of exactly that name;
// else one whose name differs only in case (names in a workbook are unique
// regardless of case); else, when the name is a number N from 1, the Nth sheet.
// `file` names the workbook in messages.
// Throws ReadError naming `file` when no sheet fits ("no sheet is named "X"; the
// sheets are "A", "B" and "C""), and NotAWorksheet when the sheet chosen is not a
// worksheet ("the active sheet "C" is a chart, not a worksheet").
SheetChoice ChooseSheet(Workbook& book, const SheetRequest& request, const std::string& file);

}  // namespace zerova

#endif  // ZEROVA_CONVERSION_SHEET_CHOICE_H_
