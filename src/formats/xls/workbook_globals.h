// The workbook globals of an .xls file: what every sheet shares ([MS-XLS] 2.1.7.20.1).
//
// From them the reader takes the BIFF version, the code page, the date system, the
// number formats and cell formats (XF), the shared strings and the list of sheets
// with the active one. BIFF5 and BIFF8 keep them in the substream before the first
// sheet. BIFF2-4 keep the formats in each sheet, before its cells: a BIFF2-4
// worksheet file is one sheet and nothing else, and the globals of a BIFF4 workbook
// name the sheets that follow them, each a worksheet substream with its own formats.
#ifndef ZEROVA_FORMATS_XLS_WORKBOOK_GLOBALS_H_
#define ZEROVA_FORMATS_XLS_WORKBOOK_GLOBALS_H_

#include <cstdint>
#include <string>
#include <vector>

#include "formats/sheet/string_table.h"
#include "formats/xls/record_cursor.h"
#include "formats/xls/records.h"
#include "services/cell_value.h"

namespace zerova {

// One BOUNDSHEET record, or the one sheet of a BIFF2-4 worksheet file.
struct SheetEntry {
  std::uint32_t offset = 0;  // of the sheet's BOF record in the stream; 0 when unknown
  std::uint8_t type = 0;     // 0 worksheet or dialog, 1 macro sheet, 2 chart, 6 VB module
  std::uint8_t state = 0;    // 0 visible, 1 hidden, 2 very hidden
  std::string name;          // UTF-8
};

struct WorkbookGlobals {
  BiffVersion version = BiffVersion::kBiff8;
  // True iff BIFF2's own cell records are read, beside the later versions': in a
  // BIFF2 stream, and in an Excel 2.x-4.x stream whose first BOF names no version,
  // where Excel 2.x-era writers put BIFF2's cells after BIFF3's or BIFF4's formats.
  bool biff2_cells = false;
  DateSystem date_system = DateSystem::k1900;
  int codepage = -1;  // the CODEPAGE record's value; -1 without one
  // For each XF record in order: true iff its number format shows a date or time.
  std::vector<bool> xf_is_date;
  // For format numbers 0 to 63, the same: BIFF2 cells of a file without XF records
  // name their number format themselves.
  std::vector<bool> format_is_date;
  StringTable shared_strings;      // BIFF8 only
  std::vector<SheetEntry> sheets;  // never empty
  std::size_t active_sheet = 0;    // an index into `sheets`
  std::size_t end = 0;             // stream offset just past the globals
};

// Reads the globals from the start of the cursor's stream and leaves the cursor
// after them. The active sheet is the first WINDOW1 record's active tab, or the
// first sheet without one or when the tab is out of range. A BIFF2-4 worksheet file
// has no globals: its one sheet, named after the file, is the whole stream (`end` 0),
// and its formats are the sheet's (ReadSheetHeader).
// Throws ReadError when the stream does not begin with a BOF record of workbook
// globals or of a BIFF2-4 sheet, a BIFF2-4 file is encrypted (FILEPASS), it lists no
// sheet, or a record is truncated. The records after a BIFF5 or BIFF8 FILEPASS
// record are read as they stand: REQUIRES: an encrypted stream has been decrypted
// (DecryptWorkbookStream).
WorkbookGlobals ReadWorkbookGlobals(BiffRecordCursor& cursor);

// Reads the BOF record of `sheet`, the cursor's next record. Throws ReadError when
// there is none, or it opens a chart or macro sheet.
void ReadSheetBof(BiffRecordCursor& cursor, const SheetEntry& sheet);

// BIFF2-4: reads the BOF of `sheet`, the cursor's next record, and the records before
// its cells into `globals`: the code page, the date system, and the formats, which
// replace the workbook's when the sheet has XF records. Leaves the cursor at the
// first record of the cells (biff::OpensCellTable), or at the sheet's EOF.
// Throws ReadError as ReadSheetBof does, for FILEPASS, and for a truncated record.
void ReadSheetHeader(BiffRecordCursor& cursor, const SheetEntry& sheet, WorkbookGlobals& globals);

// "the active sheet "NAME" is KIND, not a worksheet"
std::string NotAWorksheet(const SheetEntry& sheet, const char* kind);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLS_WORKBOOK_GLOBALS_H_
