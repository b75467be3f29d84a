// The workbook part of an .xlsx or .xlsm file (ECMA-376 SpreadsheetML):
// which sheet is active, which date system the serials use, and where the parts
// the active sheet needs are.
#ifndef ZEROVA_FORMATS_XLSX_WORKBOOK_H_
#define ZEROVA_FORMATS_XLSX_WORKBOOK_H_

#include <string>

#include "formats/common/zip_archive.h"
#include "services/cell_value.h"

namespace zerova {

struct XlsxWorkbook {
  std::string sheet_part;           // the active worksheet
  std::string shared_strings_part;  // "" when the workbook has none
  std::string styles_part;          // "" when the workbook has none
  DateSystem date_system = DateSystem::k1900;
};

// The workbook part the package's officeDocument relationship leads to, or ""
// when the zip has no package relationships or none of that kind.
std::string FindXlsxWorkbookPart(ZipArchive& zip);

// Reads the workbook at `workbook_part`: its first workbook view's activeTab picks
// the sheet (in the order of <sheets>, from 0; the first sheet when it is past the
// last), workbookPr/@date1904 the date system, and its relationships the parts.
// Throws ReadError when the part is not a workbook, has no sheets, the active
// sheet is not a worksheet, or a part is missing.
XlsxWorkbook ReadXlsxWorkbook(ZipArchive& zip, const std::string& workbook_part);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLSX_WORKBOOK_H_
