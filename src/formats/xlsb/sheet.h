// The worksheet part of an .xlsb workbook ([MS-XLSB] 2.1.7.62,
// xl/worksheets/sheet*.bin): its rows and cells, read into a SheetStore.
#ifndef ZEROVA_FORMATS_XLSB_SHEET_H_
#define ZEROVA_FORMATS_XLSB_SHEET_H_

#include <memory>
#include <string>
#include <vector>

#include "formats/containers/package_workbook.h"
#include "formats/containers/zip_archive.h"
#include "formats/sheet/sheet_store.h"
#include "formats/sheet/string_table.h"
#include "services/cell_value.h"

namespace zerova {

// Reads the cells between BrtBeginSheetData and BrtEndSheetData: each row's
// BrtRowHdr, then its cells (numbers, RK numbers, booleans, errors, shared,
// inline and rich strings, and the cached results of formulas). A number whose
// cell format shows a date is a date in the context's date system; blank cells
// and empty text are left out.
// Throws ReadError when the part is missing, is not a worksheet (a dialog sheet
// included), a record is damaged, a row or column lies outside the 1,048,576 x
// 16,384 grid, or a cell names a missing shared string or an unknown error code.
std::unique_ptr<SheetStore> ReadXlsbSheet(ZipArchive& zip, const std::string& part,
                                          PackageSheetContext context);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLSB_SHEET_H_
