// formats/xls/: the .xls format. The OLE2 container comes from formats/common;
// here are the BIFF record cursor (records.h, record_cursor.h), BIFF8 strings
// (text_reader.h), the workbook globals, the sheet builder, and this entry.
//
// The .xls reader: the active worksheet of a BIFF5 or BIFF8 workbook held in an
// OLE2 compound file ([MS-CFB]; [MS-XLS]).
//
// The workbook is parsed in one pass into a PooledSheet; formulas are never
// evaluated, their cached results are the cells' values.
#ifndef ZEROVA_FORMATS_XLS_READER_H_
#define ZEROVA_FORMATS_XLS_READER_H_

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "services/spreadsheet.h"

namespace zerova {

// Reads the active worksheet of the .xls workbook in `bytes`: the sheet the first
// WINDOW1 record names, or the first sheet without WINDOW1 or when its index is out
// of range. `name` stands for the file in error messages. Throws ReadError naming
// `name` when the container has no workbook stream, the workbook is encrypted,
// older than BIFF5, damaged, or its active sheet is not a worksheet (a chart, macro
// sheet, Visual Basic module or dialog sheet).
std::unique_ptr<Worksheet> ReadXls(std::span<const std::uint8_t> bytes, const std::string& name);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLS_READER_H_
