#include "formats/sheet/sheet_store.h"

#include <algorithm>
#include <bit>
#include <cassert>

namespace zerova {
namespace {

bool InRange(std::int64_t row, std::int64_t column) {
  return row >= 1 && row <= SheetStore::kMaxRow && column >= 1 && column <= SheetStore::kMaxColumn;
}

}  // namespace

// Steps down one column: its single cells and the runs, side by side.
class SheetStore::Cursor final : public ColumnCursor {
 public:
  Cursor(const SheetStore& store, std::int64_t row, std::int64_t column)
      : store_(store),
        cells_(store.CellsOf(column)),
        runs_at_(
            store.runs_.Find(static_cast<std::uint64_t>(row), static_cast<std::uint32_t>(column))) {
    if (cells_ != nullptr) cells_at_ = cells_->Find(static_cast<std::uint64_t>(row));
  }

  CellView Cell() const override {
    const PackedValue value = cells_ != nullptr ? cells_->At(cells_at_) : PackedValue();
    return store_.View(value.IsEmpty() ? store_.runs_.At(runs_at_) : value);
  }

  void Down() override {
    if (cells_ != nullptr) cells_at_ = cells_->Below(cells_at_);
    runs_at_ = store_.runs_.Below(runs_at_);
  }

  // A cell from a run repeats to the run's end, or to the next single cell.
  std::int64_t Repeats() const override {
    const std::uint64_t row = runs_at_.row;
    const std::uint64_t run_end = store_.runs_.RunEnd(runs_at_);
    if (run_end < row) return 1;
    std::uint64_t last = run_end;
    if (cells_ != nullptr) {
      const std::uint64_t next = cells_->NextRow(cells_at_);
      if (next == row) return 1;  // a single cell of its own here
      last = std::min(last, next - 1);
    }
    return static_cast<std::int64_t>(last - row + 1);
  }

  // Without runs, a column's cells are counted where they lie, a stretch at a time.
  std::int64_t SkipFilled(std::int64_t most) override {
    if (!store_.runs_.empty() || cells_ == nullptr) return ColumnCursor::SkipFilled(most);
    const std::uint64_t passed =
        cells_->CountFilled(cells_at_, static_cast<std::uint64_t>(most),
                            [this](PackedValue value) { return !store_.View(value).IsEmpty(); });
    Skip(static_cast<std::int64_t>(passed));
    return static_cast<std::int64_t>(passed);
  }

  void Skip(std::int64_t rows) override {
    if (rows <= 1) {
      if (rows == 1) Down();
      return;
    }
    const std::uint64_t row = runs_at_.row + static_cast<std::uint64_t>(rows);
    if (cells_ != nullptr) cells_at_ = cells_->Find(row);
    runs_at_ = store_.runs_.Find(row, runs_at_.column);
  }

 private:
  const SheetStore& store_;
  const ColumnCells* cells_;
  ColumnCells::Position cells_at_;
  RowBands::Position runs_at_;
};

void SheetStore::PutValue(std::int64_t row, std::int64_t column, PackedValue value) {
  assert(!sealed_);
  assert(InRange(row, column));
  assert(value.kind != PackedKind::kString || value.bits < strings_.size());
  if (!InRange(row, column)) return;
  const auto index = static_cast<std::size_t>(column - 1);
  if (index >= column_slots_.size()) {
    if (value.IsEmpty()) return;  // nothing there to empty
    column_slots_.resize(index + 1);
  }
  std::uint32_t& slot = column_slots_[index];
  if (slot == 0) {
    if (value.IsEmpty()) return;
    columns_.emplace_back();
    slot = static_cast<std::uint32_t>(columns_.size());
  }
  columns_[slot - 1].Put(static_cast<std::uint32_t>(row), value);
}

void SheetStore::Put(std::int64_t row, std::int64_t column, const CellValue& value) {
  switch (value.kind) {
    case CellKind::kEmpty:
      return PutEmpty(row, column);
    case CellKind::kText:
      return PutText(row, column, value.text);
    case CellKind::kNumber:
      return PutNumber(row, column, value.number);
    case CellKind::kDate:
      return PutDate(row, column, value.number, value.date_system);
    case CellKind::kBoolean:
      return PutBoolean(row, column, value.boolean);
    case CellKind::kError:
      return PutError(row, column, value.error);
  }
}

void SheetStore::PutRun(std::int64_t first_row, std::int64_t last_row, std::int64_t first_column,
                        std::int64_t last_column, PackedValue value) {
  assert(!sealed_);
  assert(InRange(first_row, first_column) && InRange(last_row, last_column));
  if (!InRange(first_row, first_column) || !InRange(last_row, last_column)) return;
  runs_.Put(static_cast<std::uint32_t>(first_row), static_cast<std::uint32_t>(last_row),
            static_cast<std::uint32_t>(first_column), static_cast<std::uint32_t>(last_column),
            value);
}

void SheetStore::Seal(ReadProgress* progress) {
  assert(!sealed_);
  StopCheck check(progress, 64);
  for (ColumnCells& cells : columns_) {
    check.Tick();
    cells.Seal();
  }
  sealed_ = true;
}

CellView SheetStore::Cell(std::int64_t row, std::int64_t column) const {
  assert(sealed_);
  if (!InRange(row, column)) return {};
  const auto r = static_cast<std::uint64_t>(row);
  const ColumnCells* cells = CellsOf(column);
  const PackedValue value = cells != nullptr ? cells->At(cells->Find(r)) : PackedValue();
  if (!value.IsEmpty()) return View(value);
  return View(runs_.At(runs_.Find(r, static_cast<std::uint32_t>(column))));
}

std::unique_ptr<ColumnCursor> SheetStore::CursorAt(std::int64_t row, std::int64_t column) const {
  assert(sealed_);
  // Rows above the sheet come back as empty cells; the general cursor steps through them.
  if (!InRange(row, column)) return Worksheet::CursorAt(row, column);
  return std::make_unique<Cursor>(*this, row, column);
}

// Single cells in stretches down each column; each run whole.
void SheetStore::ForEachFilledBlock(const std::function<void(const CellBlock&)>& visit) const {
  assert(sealed_);
  const auto filled = [this](PackedValue value) { return !View(value).IsEmpty(); };
  for (std::size_t index = 0; index < column_slots_.size(); ++index) {
    if (column_slots_[index] == 0) continue;
    const auto column = static_cast<std::int64_t>(index + 1);
    columns_[column_slots_[index] - 1].ForEachFilled(
        filled, [&](std::uint64_t first_row, std::uint64_t last_row) {
          visit({static_cast<std::int64_t>(first_row), static_cast<std::int64_t>(last_row), column,
                 column});
        });
  }
  runs_.ForEachRun([&](std::uint32_t first_row, std::uint32_t last_row, std::uint32_t first_column,
                       std::uint32_t last_column, PackedValue value) {
    if (filled(value)) visit({first_row, last_row, first_column, last_column});
  });
}

CellView SheetStore::View(PackedValue value) const {
  CellView view;
  switch (value.kind) {
    case PackedKind::kEmpty:
      break;
    case PackedKind::kString:
      view.kind = CellKind::kText;
      view.text = strings_[static_cast<std::uint32_t>(value.bits)];
      break;
    case PackedKind::kNumber:
      view.kind = CellKind::kNumber;
      view.number = std::bit_cast<double>(value.bits);
      break;
    case PackedKind::kDate1900:
    case PackedKind::kDate1904:
      view.kind = CellKind::kDate;
      view.number = std::bit_cast<double>(value.bits);
      view.date_system =
          value.kind == PackedKind::kDate1904 ? DateSystem::k1904 : DateSystem::k1900;
      break;
    case PackedKind::kBoolean:
      view.kind = CellKind::kBoolean;
      view.boolean = value.bits != 0;
      break;
    case PackedKind::kError:
      view.kind = CellKind::kError;
      view.error = static_cast<CellError>(value.bits);
      break;
  }
  return view;
}

}  // namespace zerova
