// The namespaces of Excel's XML Spreadsheet 2003 format that the reader matches
// elements and attributes by.
#ifndef ZEROVA_FORMATS_XML2003_NAMES_H_
#define ZEROVA_FORMATS_XML2003_NAMES_H_

#include <string_view>

namespace zerova {

// Workbook, Styles, Worksheet, Table, Row, Cell, Data and their ss: attributes.
inline constexpr std::string_view kSpreadsheetNamespace =
    "urn:schemas-microsoft-com:office:spreadsheet";
// ExcelWorkbook (ActiveSheet, Date1904) and WorksheetOptions.
inline constexpr std::string_view kExcelNamespace = "urn:schemas-microsoft-com:office:excel";

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XML2003_NAMES_H_
