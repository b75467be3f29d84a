#include "formats/xlsx/sheet_builder.h"

#include <algorithm>

#include "services/cell_address.h"
#include "services/error.h"

namespace zerova {
namespace {

// The facts a refusal starts with, as the other readers word them.
constexpr char kOutsideGrid[] = "a cell lies outside the sheet's 1,048,576 rows and 16,384 columns";
constexpr char kMalformedAddress[] = "a cell's address is malformed";
constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// True iff `text` is written as a row number: decimal digits, the first not 0.
bool IsRowNumber(std::string_view text) {
  return !text.empty() && text[0] != '0' &&
         text.find_first_not_of("0123456789") == std::string_view::npos;
}

// The fact for a row number the grid refused: written as one, it is past the
// last row; else it is malformed.
const char* RowFault(std::string_view text) {
  return IsRowNumber(text) ? kOutsideGrid : kMalformedAddress;
}

// The fact for a cell reference the grid refused: written as one (column
// letters, then a row number, "$" allowed before each), it names a cell past
// the grid; else it is malformed.
const char* ReferenceFault(std::string_view text) {
  if (text.starts_with('$')) text.remove_prefix(1);
  const std::size_t letters = std::min(text.find_first_not_of(kLetters), text.size());
  if (letters == 0) return kMalformedAddress;
  text.remove_prefix(letters);
  if (text.starts_with('$')) text.remove_prefix(1);
  return RowFault(text);
}

}  // namespace

XlsxSheetBuilder::XlsxSheetBuilder(std::string file, std::string part, PackageSheetContext context)
    : file_(std::move(file)),
      part_(std::move(part)),
      // The shared strings are the store's first strings, so a cell names one by its index.
      sheet_(std::make_unique<SheetStore>(std::move(context.shared_strings))),
      values_(context.date_system, std::move(context.date_styles), sheet_->string_count()) {}

void XlsxSheetBuilder::Add(const XlsxCellBatch& batch) {
  for (const XlsxCellRecord& record : batch.records()) {
    if (record.is_row) {
      Row(batch, record);
    } else {
      Cell(batch, record);
    }
  }
}

std::unique_ptr<SheetStore> XlsxSheetBuilder::Seal() {
  sheet_->Seal();
  return std::move(sheet_);
}

// A row with r starts there; one without follows the row before it.
void XlsxSheetBuilder::Row(const XlsxCellBatch& batch, const XlsxCellRecord& row) {
  if (row.has_reference) {
    const std::string_view number = batch[row.reference];
    if (!ParseRowNumber(number, &row_)) {
      Fail(RowFault(number), "bad row number \"" + std::string(number) + "\"");
    }
  } else if (++row_ > kSheetRows) {
    Fail(kOutsideGrid, "more than 1,048,576 rows");
  }
  next_column_ = 1;
}

// A cell with r stands there; one without follows the cell before it.
void XlsxSheetBuilder::Cell(const XlsxCellBatch& batch, const XlsxCellRecord& cell) {
  std::int64_t row = row_ == 0 ? 1 : row_;
  std::int64_t column = next_column_;
  const std::string_view reference = batch[cell.reference];
  if (!reference.empty() && !ParseCellReference(reference, &row, &column)) {
    Fail(ReferenceFault(reference), "bad cell reference \"" + std::string(reference) + "\"");
  }
  if (column > kSheetColumns) {
    Fail(kOutsideGrid, "more than 16,384 cells in row " + std::to_string(row));
  }
  next_column_ = column + 1;
  cell_.Start(batch[cell.type], batch[cell.style], batch[cell.value], cell.has_value,
              batch[cell.inline_text], cell.has_inline);
  PackedValue value;
  XlsxCellFault fault;
  if (!values_.ValueOf(cell_, *sheet_, &value, &fault)) {
    Fail(fault.fact, "cell " + CellReferenceText(row, column) + ": " + fault.detail);
  }
  if (!value.IsEmpty()) sheet_->PutValue(row, column, value);
}

void XlsxSheetBuilder::Fail(std::string_view fact, const std::string& detail) const {
  throw Damaged(file_, fact, part_ + ": " + detail);
}

}  // namespace zerova
