// The shared-string table of an .xlsx workbook (<sst>), read with the SAX parser
// while a second thread inflates the part.
#ifndef ZEROVA_FORMATS_XLSX_SHARED_STRINGS_H_
#define ZEROVA_FORMATS_XLSX_SHARED_STRINGS_H_

#include <string>

#include "formats/containers/zip_archive.h"
#include "formats/sheet/string_table.h"

namespace zerova {

// Reads the shared-string table in `part`: one entry per <si> child of the root in
// SpreadsheetML's namespace, in order, its text as formats/xlsx/string_item.h
// gives it. Throws ReadError when the part is missing or malformed, and Cancelled
// when the zip's progress stops the reading.
StringTable ReadXlsxSharedStrings(ZipArchive& zip, const std::string& part);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLSX_SHARED_STRINGS_H_
