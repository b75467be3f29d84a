// One <Worksheet> of an XML Spreadsheet 2003 workbook: the cells of its <Table>.
//
// Rows and cells are numbered as Excel numbers them: each one follows the one
// before, unless its ss:Index says where it stands; a row with ss:Span n stands
// for n + 1 rows and a cell with ss:MergeAcross n for n + 1 columns, so what
// follows them comes that much further on. ss:MergeDown moves nothing: cells under a merge are
// written with their own ss:Index. A merged cell's value stands in its first cell alone.
#ifndef ZEROVA_FORMATS_XML2003_WORKSHEET_H_
#define ZEROVA_FORMATS_XML2003_WORKSHEET_H_

#include <memory>

#include "formats/sheet/sheet_store.h"
#include "formats/xml/xml_stream.h"
#include "formats/xml2003/styles.h"
#include "services/workbook.h"

namespace zerova {

// What a pass over one <Worksheet> found.
struct Xml2003Sheet {
  // From WorksheetOptions' Visible: SheetHidden, SheetVeryHidden.
  SheetVisibility visibility = SheetVisibility::kVisible;
  std::unique_ptr<SheetStore> cells;  // null when only the options were read
};

// Reads the <Worksheet> element the stream is on, through its end: its options,
// and its cells when `read_cells` (else its <Table> is skipped). A cell's
// <Data> gives its value by ss:Type: Number (a date when the cell's style, else
// its row's, else the "Default" style shows dates), DateTime (ISO 8601 text,
// always a date in `system`), Boolean (1 or 0), Error (#N/A, ...) or String (the
// text of the element and of any HTML formatting inside it). A cell without
// <Data> is empty. What lies past 1,048,576 rows or 16,384 columns is dropped,
// and the sheet notes it when a value was there.
// Throws ReadError when an index, span or value is malformed, or the XML is.
Xml2003Sheet ReadXml2003Worksheet(XmlStream& xml, const Xml2003Styles& styles, DateSystem system,
                                  bool read_cells);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XML2003_WORKSHEET_H_
