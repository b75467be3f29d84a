// TableLayout past the grid's last row, which no page in a test could reach cheaply.
#include "formats/html/table_layout.h"

#include <gtest/gtest.h>

#include "conversion/cell_text.h"
#include "formats/common/cell_address.h"

namespace zerova {
namespace {

TEST(TableLayoutTest, RowsPastTheLastAreDropped) {
  TableLayout layout;
  for (std::int64_t row = 1; row <= kMaxRows + 1; ++row) {
    layout.StartRow();
    layout.StartCell("", row == kMaxRows - 1 ? "9" : "");
    layout.EndCell(row == 1 || row >= kMaxRows - 1 ? std::to_string(row) : "");
    layout.StartCell("", "");
    layout.EndCell(row >= kMaxRows ? "b" : "");
    layout.EndRow();
  }
  const auto sheet = layout.Finish();
  EXPECT_EQ(CellText(sheet->Cell(1, 1)), "1");
  EXPECT_EQ(CellText(sheet->Cell(kMaxRows - 1, 1)), std::to_string(kMaxRows - 1));
  EXPECT_TRUE(sheet->Cell(kMaxRows, 1).IsEmpty());  // covered by the rowspan above
  EXPECT_EQ(CellText(sheet->Cell(kMaxRows, 2)), std::to_string(kMaxRows));
  EXPECT_EQ(CellText(sheet->Cell(kMaxRows, 3)), "b");
  EXPECT_TRUE(sheet->Cell(kMaxRows + 1, 1).IsEmpty());
  EXPECT_TRUE(sheet->Cell(kMaxRows + 1, 2).IsEmpty());
}

}  // namespace
}  // namespace zerova
