// formats/xls/: the .xls format. The OLE2 container comes from formats/containers;
// here are the BIFF record cursor (records.h, record_cursor.h), BIFF8 and 8-bit
// strings (text_reader.h), number and cell formats (xf_table.h), the workbook
// globals, the sheet builder, and this entry.
//
// The .xls reader: the worksheets of an Excel workbook or worksheet of any
// BIFF version, Excel 2.x to 2003 ([MS-XLS]; the OpenOffice.org "Microsoft Excel
// File Format" document for BIFF2-4), held in an OLE2 compound file ([MS-CFB]) or
// stored bare, as Excel 2.x-4.x wrote it.
//
// A sheet is parsed in one pass into a SheetStore; formulas are never
// evaluated, their cached results are the cells' values.
#ifndef ZEROVA_FORMATS_XLS_READER_H_
#define ZEROVA_FORMATS_XLS_READER_H_

#include <cstdint>
#include <memory>
#include <span>

#include "formats/containers/workbook_source.h"
#include "services/workbook.h"

namespace zerova {

// True iff `bytes` begin as a bare BIFF stream: a BOF record of BIFF2, 3, 4, or 5
// and 8 (0x0009, 0x0209, 0x0409, 0x0809) that fits the file, 4 to 20 bytes long, of
// a known substream type (workbook globals, worksheet, chart, macro sheet, BIFF4
// workbook).
bool LooksLikeBiffStream(std::span<const std::uint8_t> bytes) noexcept;

// True iff a file's first bytes `head` begin an OLE2 compound file or a bare
// BIFF stream.
bool LooksLikeXls(std::span<const std::uint8_t> head) noexcept;

// Opens the .xls workbook in `source`, an OLE2 compound file with a workbook
// stream or a bare stream, and reads its globals: the sheets (BOUNDSHEET, or the
// one sheet of a BIFF2-4 worksheet file, named after the file) and the active
// one (the first WINDOW1 record's tab; the first sheet without WINDOW1 or when
// its index is out of range). An encrypted BIFF5 or BIFF8 workbook is decrypted
// first (record_decryption.h), with the default password or one from the
// source's passwords. Throws ReadError naming the file when the container has no
// workbook stream, no password opens the workbook, or it is damaged.
//
// The workbook stream is read where it stands in the source's bytes when it can
// be (a bare stream, or one whose sectors lie in order in the compound file).
// Otherwise, and for an encrypted workbook, which is decrypted in a buffer of
// its own, it is copied once, and the source's bytes are released at once, so
// that the file and the copy are never both held while the cells are read.
std::unique_ptr<Workbook> OpenXls(const std::shared_ptr<WorkbookSource>& source);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLS_READER_H_
