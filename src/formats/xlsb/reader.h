// formats/xlsb/: the .xlsb format. The zip and its package relationships come from
// formats/common; here are the record stream and its fields, the workbook part,
// shared strings, styles, the worksheet part, and this entry.
//
// The .xlsb reader: the active worksheet of an Excel binary workbook ([MS-XLSB]),
// a zip package like .xlsx whose parts are records instead of XML.
//
// The workbook part, its relationships, the shared strings and the styles are read
// first; then the active worksheet is read, a record at a time, into a SheetStore.
#ifndef ZEROVA_FORMATS_XLSB_READER_H_
#define ZEROVA_FORMATS_XLSB_READER_H_

#include <memory>

#include "formats/common/zip_archive.h"
#include "services/spreadsheet.h"

namespace zerova {

// True iff the zip's package relationships lead to a main document that is a
// binary workbook: its first record is BrtBeginBook, or its part's name ends in
// ".bin" (so a damaged one is refused as a binary workbook, not as XML). Throws
// ReadError when the package relationships are malformed or the main document's
// member is damaged.
bool LooksLikeXlsb(ZipArchive& zip);

// Reads the active worksheet of the binary workbook in `zip`.
// Throws ReadError naming the zip's file when the package has no main document,
// a part is missing or damaged (the main document not beginning with BrtBeginBook
// included), or the active sheet is not a worksheet.
std::unique_ptr<Worksheet> ReadXlsb(ZipArchive& zip);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLSB_READER_H_
