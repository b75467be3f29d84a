#include "cli/sheet_listing.h"

#include "services/error.h"

namespace zerova {

std::string SheetListing(Workbook& book) {
  const std::vector<SheetInfo>& sheets = book.Sheets();
  const std::size_t active = book.ActiveSheet();
  std::string text;
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    text += std::to_string(i + 1) + "\t" + PrintableText(sheets[i].name);
    if (i == active) text += "\tactive";
    if (sheets[i].kind != SheetKind::kWorksheet)
      text += std::string("\t") + SheetKindName(sheets[i].kind);
    text += "\n";
  }
  return text;
}

}  // namespace zerova
