// The styles part of an .xlsb workbook ([MS-XLSB] 2.1.7.50, xl/styles.bin),
// reduced to what the conversion needs: which cell formats (the BrtXF records
// after BrtBeginCellXFs, by index) show dates.
#ifndef ZEROVA_FORMATS_XLSB_STYLES_H_
#define ZEROVA_FORMATS_XLSB_STYLES_H_

#include <string>
#include <vector>

#include "formats/containers/zip_archive.h"

namespace zerova {

// Reads the styles in `part`; entry i is true iff cell format i shows a date or
// time. A number format the workbook defines (BrtFmt) is judged by its code alone,
// any other id by the built-in list (formats/numbers/number_format.h).
// Throws ReadError when the part is missing or a record is damaged.
std::vector<bool> ReadXlsbDateStyles(ZipArchive& zip, const std::string& part);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLSB_STYLES_H_
