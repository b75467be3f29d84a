#include "conversion/run_notes.h"

namespace zerova {
namespace {

// `count` with its thousands grouped: "1,240".
std::string Grouped(std::int64_t count) {
  std::string digits = std::to_string(count);
  for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3) {
    digits.insert(static_cast<std::size_t>(at), ",");
  }
  return digits;
}

std::string Reference(CellPlace place) { return CellReferenceText(place.row, place.column); }

}  // namespace

std::string ClippingNote(const SheetClipping& clipping) {
  if (!clipping.any()) return "";
  std::string where;
  if (clipping.rows) where = "past row 1,048,576";
  if (clipping.rows && clipping.columns) where += " and ";
  if (clipping.columns) where += "past column 16,384 (XFD)";
  return "the sheet has cells " + where + "; they were left out, as Excel leaves them out";
}

std::string NoNodesNote(CellPlace first, std::optional<CellPlace> first_filled) {
  const std::string note = "the document has no nodes: cell " + Reference(first) +
                           ", where the first label belongs, is empty";
  if (!first_filled) return note + ", and so is every other cell of the sheet";
  const std::string filled = Reference(*first_filled);
  return note + "; the sheet's first filled cell is " + filled + ": --first-cell=" + filled +
         " reads the table from there";
}

std::string LeftOutNote(const CellsLeftOut& left_out) {
  if (left_out.count == 0) return "";
  const bool one = left_out.count == 1;
  return Grouped(left_out.count) + (one ? " filled cell" : " filled cells") +
         " below an empty cell or right of an empty label " + (one ? "was" : "were") +
         " left out, " + (one ? "" : "the first ") + "at " + Reference(left_out.first) +
         ": the first empty cell ends a column, and the first empty label ends the table";
}

}  // namespace zerova
