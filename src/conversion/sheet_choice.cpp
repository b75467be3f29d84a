#include "conversion/sheet_choice.h"

#include <charconv>
#include <vector>

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

std::size_t Find(const std::vector<SheetInfo>& sheets, const std::string& wanted,
                 const std::string& file) {
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    if (sheets[i].name == wanted) return i;
  }
  const std::size_t number = NumberIn(wanted);
  if (number >= 1 && number <= sheets.size()) return number - 1;
  std::string what = "no sheet is named \"" + wanted + "\"";
  if (number >= 1) what += " and there is no sheet " + std::to_string(number);
  throw ReadError(file, what + "; " + ListOf(sheets));
}

}  // namespace

std::size_t ChooseSheet(Workbook& book, const std::string& wanted, const std::string& file) {
  const std::vector<SheetInfo>& sheets = book.Sheets();
  const std::size_t index = wanted.empty() ? book.ActiveSheet() : Find(sheets, wanted, file);
  const SheetInfo& sheet = sheets[index];
  if (sheet.kind != SheetKind::kWorksheet) {
    throw ReadError(file, std::string(wanted.empty() ? "the active sheet" : "the sheet") + " \"" +
                              sheet.name + "\" is a " + SheetKindName(sheet.kind) +
                              ", not a worksheet");
  }
  return index;
}

}  // namespace zerova
