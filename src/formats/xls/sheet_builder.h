// The cells of one worksheet substream of an .xls workbook ([MS-XLS] 2.1.7.20.5).
//
// The builder reads every cell record of the sheet into a SheetStore and decides
// each cell's kind once: shared and inline text, numbers (RK, MULRK, NUMBER, BIFF2's
// INTEGER), dates (a number whose XF shows a date format), booleans, errors, and
// the cached results of formulas, which are never evaluated. BIFF2's own cell
// records keep 3 bytes of cell attributes where later ones keep an XF index.
// Substreams nested in the sheet (embedded charts) are skipped.
#ifndef ZEROVA_FORMATS_XLS_SHEET_BUILDER_H_
#define ZEROVA_FORMATS_XLS_SHEET_BUILDER_H_

#include <memory>

#include "formats/sheet/sheet_store.h"
#include "formats/sheet/string_table.h"
#include "formats/text/codepage_decoder.h"
#include "formats/xls/record_cursor.h"
#include "formats/xls/workbook_globals.h"

namespace zerova {

// Reads the sheet whose BOF record is the cursor's next record (BIFF5/8), or whose
// BOF and formats ReadSheetHeader has read (BIFF2-4), up to its EOF or the end of
// the stream, and returns it sealed. `shared_strings` (the workbook's SST, taken
// from `globals`) become the store's string table, so a cell naming one holds its
// index. `decoder` decodes 8-bit text (BIFF2-5).
// Throws ReadError when the substream is not a worksheet (a chart, macro or
// dialog sheet), a record is truncated or its counts exceed its body, a cell names
// an XF or shared string the workbook lacks, or an error code is unknown.
std::unique_ptr<SheetStore> BuildXlsSheet(BiffRecordCursor& cursor, const WorkbookGlobals& globals,
                                          const SheetEntry& sheet, CodepageDecoder& decoder,
                                          StringTable shared_strings);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLS_SHEET_BUILDER_H_
