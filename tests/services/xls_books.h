// Small workbooks for the .xls reader's tests, made with BiffBuilder.
#ifndef ZEROVA_TESTS_SERVICES_XLS_BOOKS_H_
#define ZEROVA_TESTS_SERVICES_XLS_BOOKS_H_

#include <functional>
#include <memory>
#include <string>

#include "conversion/cell_text.h"
#include "services/spreadsheet.h"
#include "support/biff_builder.h"

namespace zerova::testing {

using Fill = std::function<void(BiffBuilder&)>;

// A workbook of one worksheet: BOF, `globals` (by default one General XF), the
// BOUNDSHEET, `after_sheets` (where the SST goes), EOF; then the sheet holding `cells`.
inline Bytes OneSheet(const Fill& cells, const Fill& globals = nullptr, Biff version = Biff::k8,
                      const Fill& after_sheets = nullptr) {
  BiffBuilder b(version);
  b.Bof(version);
  if (globals) {
    globals(b);
  } else {
    b.Xf(0);
  }
  b.Boundsheet("Sheet1");
  if (after_sheets) after_sheets(b);
  b.Eof().Bof(version, kWorksheetBof);
  cells(b);
  b.Eof();
  return b.Build();
}

inline std::unique_ptr<Worksheet> Read(const Bytes& bytes) {
  return ReadWorkbookBytes(bytes, "book.xls");
}

// The text of the cell at 0-based (`row`, `col`), as the document would hold it.
inline std::string TextAt(const Worksheet& sheet, int row, int col) {
  return CellText(sheet.Cell(row + 1, col + 1));
}

}  // namespace zerova::testing

#endif  // ZEROVA_TESTS_SERVICES_XLS_BOOKS_H_
