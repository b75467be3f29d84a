// The body of an OpenDocument spreadsheet (ODF 1.2), streamed: the content part of
// an .ods zip (office:document-content) or a flat document (office:document). The
// active table is read into a SheetStore, every other table skipped.
#ifndef ZEROVA_FORMATS_ODS_CONTENT_H_
#define ZEROVA_FORMATS_ODS_CONTENT_H_

#include <memory>
#include <string>

#include "formats/common/sheet_store.h"
#include "formats/common/xml_stream.h"

namespace zerova {

// Reads, from where `xml` stands to the end of the document, the table named
// `active_table`, or the first table when `active_table` is "". Rows and cells
// repeat as their repeat counts say, within 1,048,576 rows and 16,384 columns;
// what lies past those limits is dropped, and repeated empty rows and cells cost
// nothing; a repeated value is one run of the store, whatever its reach. Covered
// cells (under merged ones) count like any other cell. The date system is the
// 1904 one iff table:null-date is 1904-01-01.
// Returns null when `active_table` is not "" and no table has that name.
// Throws ReadError when the root is neither office:document-content nor
// office:document, the XML is malformed, a cell is bad (formats/ods/cell.h), or
// the document has no table at all.
std::unique_ptr<SheetStore> ReadOdsTables(XmlStream& xml, const std::string& active_table);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_ODS_CONTENT_H_
