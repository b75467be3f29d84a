// A worksheet part of an .xlsx workbook, streamed into a SheetStore: parsed with
// the SAX parser while a second thread inflates it (formats/xml/member_parse.h).
//
// Only the cells are read (<sheetData>/<row>/<c>); formulas are skipped, their
// cached values are the cells' values. Memory grows with the cells that hold a
// value, never with the part's size; cells naming a shared string share it.
#ifndef ZEROVA_FORMATS_XLSX_SHEET_H_
#define ZEROVA_FORMATS_XLSX_SHEET_H_

#include <memory>
#include <string>
#include <vector>

#include "formats/containers/package_workbook.h"
#include "formats/containers/zip_archive.h"
#include "formats/sheet/sheet_store.h"
#include "formats/sheet/string_table.h"
#include "services/cell_value.h"

namespace zerova {

// Reads the worksheet in `part` into a sealed SheetStore.
//
// A cell's kind comes from its t attribute: n (a number, or a date when its
// style's format shows one), s (shared string), inlineStr, str (a formula's
// text), b, e (one of the seven error texts), d (ISO 8601 text: always a date).
// A row or cell without an r attribute follows the one before it.
// Throws Damaged (services/error.h), naming the part and the cell, when the
// part holds no worksheet, a row number or cell reference is malformed or lies
// outside 1,048,576 rows by 16,384 columns, a value does not fit its type, a
// shared string is missing, or the XML is malformed; throws Cancelled when the
// zip's progress stops the reading.
std::unique_ptr<SheetStore> ReadXlsxSheet(ZipArchive& zip, const std::string& part,
                                          PackageSheetContext context);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLSX_SHEET_H_
