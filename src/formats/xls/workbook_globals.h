// The workbook globals of an .xls file: the substream before the first sheet,
// holding what every sheet shares ([MS-XLS] 2.1.7.20.1).
//
// From it the reader takes the BIFF version, the code page, the date system, the
// number formats and cell formats (XF), the shared strings and the list of sheets
// with the active one.
#ifndef ZEROVA_FORMATS_XLS_WORKBOOK_GLOBALS_H_
#define ZEROVA_FORMATS_XLS_WORKBOOK_GLOBALS_H_

#include <cstdint>
#include <string>
#include <vector>

#include "formats/xls/record_cursor.h"
#include "services/cell_value.h"

namespace zerova {

enum class BiffVersion : std::uint8_t { kBiff5, kBiff8 };

// One BOUNDSHEET record.
struct SheetEntry {
  std::uint32_t offset = 0;  // of the sheet's BOF record in the stream
  std::uint8_t type = 0;     // 0 worksheet or dialog, 1 macro sheet, 2 chart, 6 VB module
  std::string name;          // UTF-8
};

struct WorkbookGlobals {
  BiffVersion version = BiffVersion::kBiff8;
  DateSystem date_system = DateSystem::k1900;
  int codepage = -1;  // the CODEPAGE record's value; -1 without one
  // For each XF record in order: true iff its number format shows a date or time.
  std::vector<bool> xf_is_date;
  std::vector<std::string> shared_strings;  // BIFF8 only
  std::vector<SheetEntry> sheets;           // never empty
  std::size_t active_sheet = 0;             // an index into `sheets`
  std::size_t end = 0;                      // stream offset just past the globals
};

// Reads the globals from the start of the cursor's stream and leaves the cursor
// after them. The active sheet is the first WINDOW1 record's active tab, or the
// first sheet without WINDOW1 or when the tab is out of range.
// Throws ReadError when the stream does not begin with a BIFF5 or BIFF8 BOF
// record of workbook globals, the workbook is encrypted (FILEPASS), it lists no
// sheet, or a record is truncated.
WorkbookGlobals ReadWorkbookGlobals(BiffRecordCursor& cursor);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLS_WORKBOOK_GLOBALS_H_
