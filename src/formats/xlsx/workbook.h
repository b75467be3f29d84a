// The workbook part of an .xlsx or .xlsm file (ECMA-376 SpreadsheetML):
// its sheets, which one is active, which date system the serials use, and where
// the parts the sheets need are.
#ifndef ZEROVA_FORMATS_XLSX_WORKBOOK_H_
#define ZEROVA_FORMATS_XLSX_WORKBOOK_H_

#include <string>

#include "formats/containers/opc_package.h"
#include "formats/containers/zip_archive.h"

namespace zerova {

// The workbook part the package's officeDocument relationship leads to, or ""
// when the zip has no package relationships or none of that kind.
std::string FindXlsxWorkbookPart(ZipArchive& zip);

// True iff the root element of `part` is a SpreadsheetML <workbook>, so the
// package is a workbook and not another Office Open XML document (a .docx or
// .pptx has a main document too). Throws ReadError when the part is missing or
// its XML is malformed.
bool IsXlsxWorkbookPart(ZipArchive& zip, const std::string& part);

// Reads the workbook at `workbook_part`: its sheets (<sheets>, with their state),
// the first workbook view's activeTab (in the order of <sheets>, from 0; the
// first sheet when it is past the last), workbookPr/@date1904 the date system,
// and its relationships the parts. Throws ReadError when the part is not a
// workbook, has no sheets, or its relationships are missing or malformed.
WorkbookParts ReadXlsxWorkbook(ZipArchive& zip, const std::string& workbook_part);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLSX_WORKBOOK_H_
