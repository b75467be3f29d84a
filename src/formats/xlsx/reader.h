// formats/xlsx/: the .xlsx and .xlsm format. The zip and streaming XML come from
// formats/containers and formats/xml; here are the package relationships, the workbook part, shared
// strings, styles, the worksheet part, and this entry.
//
// The .xlsx reader: the worksheets of an Office Open XML workbook (.xlsx,
// .xlsm; ECMA-376, transitional or strict), held in a zip.
//
// The workbook part, its relationships, the shared strings and the styles are
// read first; then the chosen worksheet is streamed into a SheetStore.
#ifndef ZEROVA_FORMATS_XLSX_READER_H_
#define ZEROVA_FORMATS_XLSX_READER_H_

#include <memory>

#include "formats/containers/workbook_source.h"
#include "services/workbook.h"

namespace zerova {

// Opens the Office Open XML workbook in `source`, a zip whose package
// relationships (_rels/.rels) lead to a main document whose root is a
// SpreadsheetML workbook; null when the zip is not one (no main document, a
// binary one, or another kind of Office document). Throws ReadError naming the
// file when the package or its workbook part is damaged.
std::unique_ptr<Workbook> OpenXlsx(const std::shared_ptr<WorkbookSource>& source);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLSX_READER_H_
