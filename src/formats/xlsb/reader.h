// formats/xlsb/: the .xlsb format. The zip and its package relationships come from
// formats/containers; here are the record stream and its fields, the workbook part
// and its shared strings, styles, the worksheet part, and this entry.
//
// The .xlsb reader: the worksheets of an Excel binary workbook ([MS-XLSB]),
// a zip package like .xlsx whose parts are records instead of XML.
//
// The workbook part, its relationships, the shared strings and the styles are read
// first; then the chosen worksheet is read, a record at a time, into a SheetStore.
#ifndef ZEROVA_FORMATS_XLSB_READER_H_
#define ZEROVA_FORMATS_XLSB_READER_H_

#include <memory>

#include "formats/containers/workbook_source.h"
#include "services/workbook.h"

namespace zerova {

// Opens the binary workbook in `source`: a zip whose package relationships lead
// to a main document that is a binary workbook (its first record is
// BrtBeginBook, or its part's name ends in ".bin", so a damaged one is refused
// as a binary workbook, not as XML); null when the zip is not one. Throws
// ReadError naming the file when the package or its workbook part is damaged.
std::unique_ptr<Workbook> OpenXlsb(const std::shared_ptr<WorkbookSource>& source);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLSB_READER_H_
