// XlsxSheetBuilder: a worksheet's rows and cells, as records of what the parser
// met (formats/xlsx/cell_records.h), checked, decided and put into a SheetStore.
//
// A row or cell without an r attribute follows the one before it. A cell's
// kind comes from its t attribute (formats/xlsx/cell_value.h). A row's faults
// are told at its record, a cell's in the order its reference, then its value.
// Used by one thread at a time; it starts a cache line of its own, so the
// thread building with it shares none with the thread parsing beside it.
#ifndef ZEROVA_FORMATS_XLSX_SHEET_BUILDER_H_
#define ZEROVA_FORMATS_XLSX_SHEET_BUILDER_H_

#include <cstdint>
#include <memory>
#include <string>

#include "formats/sheet/sheet_store.h"
#include "formats/xlsx/cell_records.h"
#include "formats/xlsx/cell_value.h"
#include "formats/xlsx/sheet.h"

namespace zerova {

class alignas(64) XlsxSheetBuilder {
 public:
  // `file` and `part` name the worksheet in messages.
  XlsxSheetBuilder(std::string file, std::string part, PackageSheetContext context);

  // Adds the rows and cells `batch` records, in order. Throws Damaged naming
  // the part and the cell when a row number or cell reference is malformed or
  // lies outside 1,048,576 rows by 16,384 columns, or a value does not fit its
  // type or names a shared string the workbook lacks.
  void Add(const XlsxCellBatch& batch);

  // The sheet, sealed. Call once, after the last Add.
  std::unique_ptr<SheetStore> Seal();

 private:
  void Row(const XlsxCellBatch& batch, const XlsxCellRecord& row);
  void Cell(const XlsxCellBatch& batch, const XlsxCellRecord& cell);
  // Throws Damaged(file, `fact`, "PART: `detail`").
  [[noreturn]] void Fail(std::string_view fact, const std::string& detail) const;

  std::string file_;
  std::string part_;
  std::unique_ptr<SheetStore> sheet_;
  XlsxCellValues values_;
  XlsxRawCell cell_;              // the cell being decided
  std::int64_t row_ = 0;          // the current row
  std::int64_t next_column_ = 1;  // the column of a following cell without r
};

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLSX_SHEET_BUILDER_H_
