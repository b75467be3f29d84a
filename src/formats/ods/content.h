// The content part of an .ods workbook (ODF 1.2, content.xml), streamed: the
// active table is read into a SheetStore, every other table skipped.
#ifndef ZEROVA_FORMATS_ODS_CONTENT_H_
#define ZEROVA_FORMATS_ODS_CONTENT_H_

#include <memory>
#include <string>

#include "formats/common/sheet_store.h"
#include "formats/common/zip_archive.h"

namespace zerova {

// Reads the table named `active_table` from content.xml, or the first table when
// `active_table` is "". Rows and cells repeat as their repeat counts say, within
// 1,048,576 rows and 16,384 columns; what lies past those limits is dropped, and
// repeated empty rows and cells cost nothing; a repeated value is one run of the
// store, whatever its reach. Covered cells (under merged ones)
// count like any other cell. The date system is the 1904 one iff
// table:null-date is 1904-01-01.
// Throws ReadError when content.xml is missing or malformed, has no such table,
// or a cell is bad (formats/ods/cell.h).
std::unique_ptr<SheetStore> ReadOdsContent(ZipArchive& zip, const std::string& active_table);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_ODS_CONTENT_H_
