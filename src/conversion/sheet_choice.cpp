#include "conversion/sheet_choice.h"

#include <charconv>
#include <vector>

#include "services/case_folding.h"
#include "services/error.h"

namespace zerova {
namespace {

// "the sheets are "A", "B" and "C"", or "the one sheet is "A"".
std::string ListOf(const std::vector<SheetInfo>& sheets) {
  if (sheets.size() == 1) return "the one sheet is \"" + sheets[0].name + "\"";
  std::string text = "the sheets are ";
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    if (i > 0) text += i + 1 == sheets.size() ? " and " : ", ";
    text += "\"" + sheets[i].name + "\"";
  }
  return text;
}

// The number `text` writes in decimal digits alone; 0 for anything else.
std::size_t NumberIn(const std::string& text) {
  std::size_t number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  return error == std::errc() && end == text.data() + text.size() ? number : 0;
}

// The index of the sheet named `wanted`, exactly or else but for case; sheets.size() if none.
std::size_t Named(const std::vector<SheetInfo>& sheets, const std::string& wanted) {
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    if (sheets[i].name == wanted) return i;
  }
  const std::u32string folded = FoldedCase(wanted);
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    if (FoldedCase(sheets[i].name) == folded) return i;
  }
  return sheets.size();
}

SheetChoice ByNameOrNumber(const std::vector<SheetInfo>& sheets, const std::string& wanted,
                           const std::string& file) {
  const std::size_t number = NumberIn(wanted);
  const bool numbered = number >= 1 && number <= sheets.size();
  if (const std::size_t index = Named(sheets, wanted); index < sheets.size()) {
    SheetChoice choice{index, ""};
    if (numbered && number - 1 != index) {
      choice.note = "--sheet=" + wanted + " took the sheet named \"" + sheets[index].name +
                    "\"; sheet " + std::to_string(number) + " is \"" + sheets[number - 1].name +
                    "\": give --sheet-number=" + std::to_string(number) + " for that one";
    }
    return choice;
  }
  if (numbered) return {number - 1, ""};
  std::string what = "no sheet is named \"" + wanted + "\"";
  if (number >= 1) what += " and there is no sheet " + std::to_string(number);
  throw ReadError(file, what + "; " + ListOf(sheets));
}

}  // namespace

SheetChoice ChooseSheet(Workbook& book, const SheetRequest& request, const std::string& file) {
  const std::vector<SheetInfo>& sheets = book.Sheets();
  SheetChoice choice;
  switch (request.by) {
    case SheetRequest::By::kActive:
      choice.index = book.ActiveSheet();
      break;
    case SheetRequest::By::kNameOrNumber:
      choice = ByNameOrNumber(sheets, request.name, file);
      break;
    case SheetRequest::By::kNumber:
      if (request.number < 1 || request.number > sheets.size()) {
        throw ReadError(
            file, "there is no sheet " + std::to_string(request.number) + "; " + ListOf(sheets));
      }
      choice.index = request.number - 1;
      break;
  }
  const SheetInfo& sheet = sheets[choice.index];
  if (sheet.kind != SheetKind::kWorksheet) {
    const bool active = request.by == SheetRequest::By::kActive;
    throw NotAWorksheet(file, std::string(active ? "the active sheet" : "the sheet") + " \"" +
                                  sheet.name + "\" is a " + SheetKindName(sheet.kind) +
                                  ", not a worksheet");
  }
  return choice;
}

}  // namespace zerova
