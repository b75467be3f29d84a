// formats/xls/: the .xls format. The OLE2 container comes from formats/common;
// here are the BIFF record cursor (records.h, record_cursor.h), BIFF8 and 8-bit
// strings (text_reader.h), number and cell formats (xf_table.h), the workbook
// globals, the sheet builder, and this entry.
//
// The .xls reader: the active worksheet of an Excel workbook or worksheet of any
// BIFF version, Excel 2.x to 2003 ([MS-XLS]; the OpenOffice.org "Microsoft Excel
// File Format" document for BIFF2-4), held in an OLE2 compound file ([MS-CFB]) or
// stored bare, as Excel 2.x-4.x wrote it.
//
// The workbook is parsed in one pass into a SheetStore; formulas are never
// evaluated, their cached results are the cells' values.
#ifndef ZEROVA_FORMATS_XLS_READER_H_
#define ZEROVA_FORMATS_XLS_READER_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "services/password_source.h"
#include "services/spreadsheet.h"

namespace zerova {

// True iff `bytes` begin as a bare BIFF stream: a BOF record of BIFF2, 3, 4, or 5
// and 8 (0x0009, 0x0209, 0x0409, 0x0809) that fits the file, 4 to 20 bytes long, of
// a known substream type (workbook globals, worksheet, chart, macro sheet, BIFF4
// workbook).
bool LooksLikeBiffStream(std::span<const std::uint8_t> bytes);

// Reads the active worksheet of the .xls file in `bytes`, an OLE2 compound file with
// a workbook stream or a bare stream: the sheet the first WINDOW1 record names, or
// the first sheet without WINDOW1 or when its index is out of range; the one sheet
// of a BIFF2-4 worksheet file. `name` stands for the file in error messages. An
// encrypted BIFF5 or BIFF8 workbook is decrypted first (record_decryption.h), with
// the default password or one from `passwords` (null: none to ask). Throws
// ReadError naming `name` when the container has no workbook stream, no password
// opens the workbook, it is damaged, or its active sheet is not a worksheet (a chart, macro
// sheet, Visual Basic module or dialog sheet).
//
// The workbook stream is read where it stands in `bytes` when it can be (a bare
// stream, or one whose sectors lie in order in the compound file). Otherwise, and
// for an encrypted workbook, which is decrypted in a buffer of its own, it is
// copied once, and `release_bytes`, when given, is called as soon as the copy is
// made: the caller may then free `bytes`, so that the file and the copy are never
// both held while the cells are read. ReadXls does not touch `bytes` after that.
std::unique_ptr<Worksheet> ReadXls(std::span<const std::uint8_t> bytes, const std::string& name,
                                   PasswordSource* passwords = nullptr,
                                   const std::function<void()>& release_bytes = nullptr);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLS_READER_H_
