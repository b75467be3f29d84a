// formats/xlsx/: the .xlsx and .xlsm format. The zip and streaming XML come from
// formats/common; here are the package relationships, the workbook part, shared
// strings, styles, the worksheet part, and this entry.
//
// The .xlsx reader: the active worksheet of an Office Open XML workbook (.xlsx,
// .xlsm; ECMA-376, transitional or strict), held in a zip.
//
// The workbook part, its relationships, the shared strings and the styles are
// read first; then the active worksheet is streamed into a SheetStore.
#ifndef ZEROVA_FORMATS_XLSX_READER_H_
#define ZEROVA_FORMATS_XLSX_READER_H_

#include <memory>

#include "formats/common/zip_archive.h"
#include "services/spreadsheet.h"

namespace zerova {

// True iff the zip is an Office Open XML workbook: its package relationships
// (_rels/.rels) lead to a main document whose root is a SpreadsheetML workbook.
// Throws ReadError when that part is missing or malformed.
bool LooksLikeXlsx(ZipArchive& zip);

// Reads the active worksheet of the workbook in `zip`.
// Throws ReadError naming the zip's file when the package holds no workbook, a
// part is missing or malformed, or the active sheet is not a worksheet.
std::unique_ptr<Worksheet> ReadXlsx(ZipArchive& zip);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLSX_READER_H_
