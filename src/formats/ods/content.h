// The body of an OpenDocument spreadsheet (ODF 1.2), streamed: the content part of
// an .ods zip (office:document-content) or a flat document (office:document): its
// tables listed, and one of them read into a SheetStore.
#ifndef ZEROVA_FORMATS_ODS_CONTENT_H_
#define ZEROVA_FORMATS_ODS_CONTENT_H_

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "formats/sheet/sheet_store.h"
#include "formats/xml/xml_stream.h"
#include "services/workbook.h"

namespace zerova {

// Which table a pass over the body reads: the one at `index` (from 0), else the
// first named `name`; neither (npos and "") reads none and only lists them.
struct OdsTableWanted {
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::size_t index = kNone;
  std::string name;
};

// What a pass over the body found.
struct OdsBody {
  std::vector<SheetInfo> tables;      // in order: all of them when listing
  std::unique_ptr<SheetStore> sheet;  // the table wanted; null when not found
  std::size_t sheet_index = 0;        // its index, when found
};

// Reads the body from where `xml` stands: lists the tables by name, hidden when
// their table style has table:display="false", and reads the one `wanted` into a
// SheetStore, skipping every other. With `list_all` false the pass ends at the
// end of the table wanted. Rows and cells repeat as their repeat counts say,
// within 1,048,576 rows and 16,384 columns; what lies past those limits is
// dropped, noted in the sheet when it holds a value, and repeated empty rows and
// cells cost nothing; a repeated value is one run of the store, whatever its
// reach, so reading costs what the file holds, never the counts. Covered cells
// (under merged ones) count like any other cell. The date system is the 1904 one
// iff table:null-date is 1904-01-01. Throws ReadError when the root is neither
// office:document-content nor office:document, the XML is malformed, a cell is
// bad (formats/ods/cell.h), or the document has no table at all.
OdsBody ReadOdsBody(XmlStream& xml, const OdsTableWanted& wanted, bool list_all);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_ODS_CONTENT_H_
