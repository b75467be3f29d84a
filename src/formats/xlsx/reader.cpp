#include "formats/xlsx/reader.h"

#include <string>
#include <vector>

#include "formats/xlsx/shared_strings.h"
#include "formats/xlsx/sheet.h"
#include "formats/xlsx/styles.h"
#include "formats/xlsx/workbook.h"
#include "services/error.h"

namespace zerova {

bool LooksLikeXlsx(ZipArchive& zip) {
  const std::string workbook_part = FindXlsxWorkbookPart(zip);
  return !workbook_part.empty() && IsXlsxWorkbookPart(zip, workbook_part);
}

std::unique_ptr<Worksheet> ReadXlsx(ZipArchive& zip) {
  const std::string workbook_part = FindXlsxWorkbookPart(zip);
  if (workbook_part.empty()) {
    throw ReadError(zip.file(), "not a spreadsheet: the package has no main document");
  }
  const WorkbookParts workbook = ReadXlsxWorkbook(zip, workbook_part);
  XlsxSheetContext context;
  context.date_system = workbook.date_system;
  if (!workbook.shared_strings_part.empty()) {
    context.shared_strings = ReadXlsxSharedStrings(zip, workbook.shared_strings_part);
  }
  if (!workbook.styles_part.empty()) {
    context.date_styles = ReadXlsxDateStyles(zip, workbook.styles_part);
  }
  return ReadXlsxSheet(zip, workbook.sheet_part, std::move(context));
}

}  // namespace zerova
