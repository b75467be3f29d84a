// The shared-string table of an .xlsb workbook ([MS-XLSB] 2.1.7.45,
// xl/sharedStrings.bin): one BrtSSTItem per string, each a RichStr whose text
// alone is kept (formatting runs and phonetic text are dropped).
#ifndef ZEROVA_FORMATS_XLSB_SHARED_STRINGS_H_
#define ZEROVA_FORMATS_XLSB_SHARED_STRINGS_H_

#include <string>

#include "formats/containers/zip_archive.h"
#include "formats/sheet/string_table.h"

namespace zerova {

// Reads the table in `part`: one UTF-8 entry per BrtSSTItem, in order.
// Throws ReadError when the part is missing or a record is damaged.
StringTable ReadXlsbSharedStrings(ZipArchive& zip, const std::string& part);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLSB_SHARED_STRINGS_H_
