#include "conversion/clipping_note.h"

namespace zerova {

std::string ClippingNote(const SheetClipping& clipping) {
  if (!clipping.any()) return "";
  std::string where;
  if (clipping.rows) where = "past row 1,048,576";
  if (clipping.rows && clipping.columns) where += " and ";
  if (clipping.columns) where += "past column 16,384 (XFD)";
  return "the sheet has cells " + where + "; they were left out, as Excel leaves them out";
}

}  // namespace zerova
