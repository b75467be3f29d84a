// The .xlsx reader: the active worksheet of an Office Open XML workbook (.xlsx,
// .xlsm; ECMA-376, transitional or strict), held in a zip.
//
// The workbook part, its relationships, the shared strings and the styles are
// read first; then the active worksheet is streamed into a PooledSheet.
#ifndef ZEROVA_SERVICES_XLSX_READER_H_
#define ZEROVA_SERVICES_XLSX_READER_H_

#include <memory>

#include "services/spreadsheet.h"
#include "services/zip_archive.h"

namespace zerova {

// True iff the zip is an Office Open XML package: it has package relationships
// (_rels/.rels) that lead to a main document.
bool LooksLikeXlsx(ZipArchive& zip);

// Reads the active worksheet of the workbook in `zip`.
// Throws ReadError naming the zip's file when the package holds no workbook, a
// part is missing or malformed, or the active sheet is not a worksheet.
std::unique_ptr<Worksheet> ReadXlsx(ZipArchive& zip);

}  // namespace zerova

#endif  // ZEROVA_SERVICES_XLSX_READER_H_
