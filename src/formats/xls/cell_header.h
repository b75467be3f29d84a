// CellHeaderReader: what opens a cell record: its row and column, whether its cell
// format shows a date, and where its value starts.
//
// BIFF3-8 cell records open with row, column and a 16-bit XF index ([MS-XLS]
// 2.5.47 Cell). BIFF2's own cell records keep 3 bytes of cell attributes instead:
// the XF index in the first byte's low 6 bits, 63 standing for the XF of the last
// IXFE record; a file without XF records names the number format in the second
// byte's low 6 bits (the OpenOffice.org "Microsoft Excel File Format" document).
#ifndef ZEROVA_FORMATS_XLS_CELL_HEADER_H_
#define ZEROVA_FORMATS_XLS_CELL_HEADER_H_

#include <cstdint>

#include "formats/xls/record_cursor.h"
#include "formats/xls/workbook_globals.h"

namespace zerova {

struct CellHeader {
  std::uint16_t row;     // 0-based, as stored
  std::uint16_t column;  // 0-based, as stored
  bool date;             // the cell's number format shows a date or time
  std::size_t value;     // where the value starts in the body
};

class CellHeaderReader {
 public:
  // `cursor` and `globals` must outlive the reader.
  CellHeaderReader(const BiffRecordCursor& cursor, const WorkbookGlobals& globals);

  // The header of the cursor's current record, a BIFF3-8 cell record or a BIFF2 one.
  // Throws ReadError when the body is shorter than the header or the XF is one the
  // workbook lacks (RequireXf).
  CellHeader Read();
  CellHeader ReadBiff2();

  // Throws ReadError unless the workbook has a cell format (XF) numbered `xf`.
  void RequireXf(std::uint16_t xf) const;

  // True iff cell format `xf` shows a date; where BIFF2's cells are read
  // (WorkbookGlobals::biff2_cells), 63 stands for the last IXFE's.
  // Throws as RequireXf does, except in a BIFF2-4 file without XF records, where no
  // cell is a date.
  bool IsDateXf(std::uint16_t xf) const;

  // Takes the cursor's current record, an IXFE. Throws ReadError when it is truncated.
  void Ixfe();

 private:
  const BiffRecordCursor& cursor_;
  const WorkbookGlobals& globals_;
  std::uint16_t ixfe_;
};

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLS_CELL_HEADER_H_
