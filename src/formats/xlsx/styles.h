// The styles part of an .xlsx workbook, reduced to what the conversion needs:
// which cell formats (the <xf> entries of <cellXfs>, by index) show dates.
#ifndef ZEROVA_FORMATS_XLSX_STYLES_H_
#define ZEROVA_FORMATS_XLSX_STYLES_H_

#include <string>
#include <vector>

#include "formats/containers/zip_archive.h"

namespace zerova {

// Reads the styles in `part`; entry i is true iff cell format i shows a date or
// time. A number format the workbook defines in <numFmts> is judged by its code
// alone, any other id by the built-in list (formats/numbers/number_format.h).
// Throws ReadError when the part is missing or malformed.
std::vector<bool> ReadXlsxDateStyles(ZipArchive& zip, const std::string& part);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLSX_STYLES_H_
