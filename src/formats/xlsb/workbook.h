// The workbook part of an .xlsb file ([MS-XLSB] 2.1.7.61, xl/workbook.bin): which
// sheet is active, which date system the serials use, and where the parts the
// active sheet needs are; and the workbook's shared-string table.
#ifndef ZEROVA_FORMATS_XLSB_WORKBOOK_H_
#define ZEROVA_FORMATS_XLSB_WORKBOOK_H_

#include <string>

#include "formats/containers/opc_package.h"
#include "formats/containers/zip_archive.h"
#include "formats/sheet/string_table.h"

namespace zerova {

// True iff `part` exists and its first record is BrtBeginBook: a binary workbook.
// Throws ReadError only when the zip member is damaged.
bool IsXlsbWorkbookPart(ZipArchive& zip, const std::string& part);

// Reads the workbook at `workbook_part`: its sheets (BrtBundleSh, with their
// hsState), the first BrtBookView's itabCur (in the order of the BrtBundleSh
// records, from 0; the first sheet when it is past the last), BrtWbProp's f1904
// the date system, and its relationships the parts. Throws ReadError when a
// record is damaged, the workbook has no sheets, or its relationships are
// missing or malformed.
WorkbookParts ReadXlsbWorkbook(ZipArchive& zip, const std::string& workbook_part);

// Reads the shared-string table in `part` ([MS-XLSB] 2.1.7.45, xl/sharedStrings.bin):
// one UTF-8 entry per BrtSSTItem, in order, each a RichStr whose text alone is kept
// (formatting runs and phonetic text are dropped). Throws ReadError when the part
// is missing or a record is damaged.
StringTable ReadXlsbSharedStrings(ZipArchive& zip, const std::string& part);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLSB_WORKBOOK_H_
