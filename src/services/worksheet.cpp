#include "services/worksheet.h"

namespace zerova {
namespace {

// Asks the worksheet for each cell.
class CellByCellCursor final : public ColumnCursor {
 public:
  CellByCellCursor(const Worksheet& sheet, std::int64_t row, std::int64_t column)
      : sheet_(sheet), row_(row), column_(column) {}

  CellView Cell() const override { return sheet_.Cell(row_, column_); }
  void Down() override { ++row_; }
  void Skip(std::int64_t rows) override { row_ += rows; }

 private:
  const Worksheet& sheet_;
  std::int64_t row_;
  std::int64_t column_;
};

}  // namespace

std::unique_ptr<ColumnCursor> Worksheet::CursorAt(std::int64_t row, std::int64_t column) const {
  return std::make_unique<CellByCellCursor>(*this, row, column);
}

}  // namespace zerova
