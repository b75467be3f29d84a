// formats/sheet/: the in-memory sheet every reader builds (this store, with
// column_cells.h, row_bands.h, string_table.h, packed_value.h and value_chunks.h)
// and cell addresses (cell_address.h). What else the formats share stands beside
// it: containers/ (OLE2, zip, package relationships, little-endian fields, quiet
// GLib logging), xml/ (streaming XML, root sniffing), crypto/ (Nettle's hashes and
// ciphers, the order passwords are tried), text/ (code pages, Unicode) and
// numbers/ (date serials, number formats, RK numbers). A format folder includes
// these, never another format's.
//
// SheetStore: the in-memory worksheet every reader builds, laid out for the walk
// the conversion makes, down each column from row 1.
//
// Single cells live by column, in row order (column_cells.h): nine bytes a cell,
// the cell below found in one step. Text lives once in a string table
// (string_table.h): a cell holds an index, so cells naming a shared string share
// it and a cell's own text costs its bytes. Runs of repeated cells (row_bands.h)
// cost one entry each, however many rows and columns they cover. No Put allocates
// per cell; the cells are sorted at most once, when put out of row order.
//
// Build with the Put calls, then Seal once; read after that. A later Put to an
// address wins over an earlier one.
#ifndef ZEROVA_FORMATS_SHEET_SHEET_STORE_H_
#define ZEROVA_FORMATS_SHEET_SHEET_STORE_H_

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "formats/sheet/column_cells.h"
#include "formats/sheet/packed_value.h"
#include "formats/sheet/row_bands.h"
#include "formats/sheet/string_table.h"
#include "services/read_progress.h"
#include "services/worksheet.h"

namespace zerova {

class SheetStore final : public Worksheet {
 public:
  // The largest row and column a cell may be put in; cells beyond are dropped.
  static constexpr std::int64_t kMaxRow = UINT32_MAX - 1;
  static constexpr std::int64_t kMaxColumn = std::int64_t{1} << 20;

  SheetStore() = default;
  // A store whose string table begins with `strings`, each keeping its index
  // (a workbook's shared strings, read before its sheet).
  explicit SheetStore(StringTable strings) : strings_(std::move(strings)) {}

  // Adds `text` to the string table and returns its index, for PutSharedString.
  std::uint32_t AddSharedString(std::string_view text) { return strings_.Add(text); }
  std::uint32_t string_count() const { return strings_.size(); }
  // A copy of `text` in the string table, as a value to put; "" is the empty value.
  // Text repeated among the cells put lately is kept once (StringTable::AddOnce).
  PackedValue Text(std::string_view text) {
    return text.empty() ? PackedValue() : PackedValue::String(strings_.AddOnce(text));
  }

  // Puts a value in the cell at 1-based (`row`, `column`), replacing an earlier one.
  // REQUIRES for each: not sealed; 1 <= row <= kMaxRow; 1 <= column <= kMaxColumn.
  void PutValue(std::int64_t row, std::int64_t column, PackedValue value);
  void PutNumber(std::int64_t row, std::int64_t column, double number) {
    PutValue(row, column, PackedValue::Number(number));
  }
  void PutDate(std::int64_t row, std::int64_t column, double serial, DateSystem system) {
    PutValue(row, column, PackedValue::Date(serial, system));
  }
  void PutBoolean(std::int64_t row, std::int64_t column, bool value) {
    PutValue(row, column, PackedValue::Boolean(value));
  }
  void PutError(std::int64_t row, std::int64_t column, CellError error) {
    PutValue(row, column, PackedValue::Error(error));
  }
  // Copies `text` into the string table.
  void PutText(std::int64_t row, std::int64_t column, std::string_view text) {
    PutValue(row, column, Text(text));
  }
  // REQUIRES: index < string_count().
  void PutSharedString(std::int64_t row, std::int64_t column, std::uint32_t index) {
    PutValue(row, column, PackedValue::String(index));
  }
  // Empties the cell: an earlier value there no longer counts.
  void PutEmpty(std::int64_t row, std::int64_t column) { PutValue(row, column, PackedValue()); }
  // Any value; text is copied into the string table.
  void Put(std::int64_t row, std::int64_t column, const CellValue& value);

  // Puts `value` in every cell of rows `first_row` .. `last_row` and columns
  // `first_column` .. `last_column`, at the cost of one entry. An empty value is dropped.
  // REQUIRES: not sealed; first_row <= last_row, first_column <= last_column, both
  // within the limits above; no other Put, before or after, names a cell of the
  // run; runs come down the sheet in bands (row_bands.h): the rows of the run put
  // last, further right, or rows below all runs put so far.
  void PutRun(std::int64_t first_row, std::int64_t last_row, std::int64_t first_column,
              std::int64_t last_column, PackedValue value);

  // Orders what was put for reading. Call once, after the last Put. Cells put
  // out of row order are sorted here, column by column, asking `progress`
  // (null: nobody) whether to stop in between. Throws Cancelled when it
  // answers a stop.
  void Seal(ReadProgress* progress = nullptr);

  // Records that the reader dropped cells below row kSheetRows or right of
  // column kSheetColumns (services/worksheet.h), as Excel drops them.
  void NoteRowsDropped() { clipping_.rows = true; }
  void NoteColumnsDropped() { clipping_.columns = true; }

  // REQUIRES for the rest: sealed.
  CellView Cell(std::int64_t row, std::int64_t column) const override;
  std::unique_ptr<ColumnCursor> CursorAt(std::int64_t row, std::int64_t column) const override;
  void ForEachFilledBlock(const std::function<void(const CellBlock&)>& visit) const override;
  SheetClipping Clipped() const override { return clipping_; }
  // What `value` reads as; its text lives in this store.
  CellView View(PackedValue value) const;

 private:
  class Cursor;

  // The cells of `column`; null when none was put there.
  const ColumnCells* CellsOf(std::int64_t column) const {
    const auto index = static_cast<std::size_t>(column - 1);
    return index < column_slots_.size() && column_slots_[index] != 0
               ? &columns_[column_slots_[index] - 1]
               : nullptr;
  }

  StringTable strings_;
  std::vector<std::uint32_t> column_slots_;  // by column - 1: 1 + its index in columns_, or 0
  std::vector<ColumnCells> columns_;
  RowBands runs_;
  SheetClipping clipping_;
  bool sealed_ = false;
};

}  // namespace zerova

#endif  // ZEROVA_FORMATS_SHEET_SHEET_STORE_H_
