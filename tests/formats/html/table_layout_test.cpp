// TableLayout: spans of different depths side by side, and the grid's last row,
// which no page in a test could reach cheaply.
#include "formats/html/table_layout.h"

#include <gtest/gtest.h>

#include <array>

#include "conversion/cell_text.h"
#include "formats/common/cell_address.h"

namespace zerova {
namespace {

TEST(TableLayoutTest, CellsMovePastEverySpanThatStillCovers) {
  TableLayout layout;
  const auto row = [&](std::initializer_list<std::array<const char*, 3>> cells) {
    layout.StartRow();
    for (const auto& [colspan, rowspan, text] : cells) {
      layout.StartCell(colspan, rowspan);
      layout.EndCell(text);
    }
    layout.EndRow();
  };
  row({{{"3", "2", "a"}}, {{"", "4", "b"}}, {{"", "", "c"}}});  // a: A1:C2, b: D1:D4
  row({{{"", "", "d"}}});                                       // past A:C and D
  row({{{"2", "", "e"}}, {{"", "", "f"}}, {{"", "", "g"}}});    // C3, then past D
  const auto sheet = layout.Finish();
  const std::pair<std::array<std::int64_t, 2>, const char*> cells[] = {
      {{1, 1}, "a"}, {{1, 4}, "b"}, {{1, 5}, "c"}, {{2, 5}, "d"}, {{3, 1}, "e"},
      {{3, 3}, "f"}, {{3, 5}, "g"}, {{2, 1}, ""},  {{3, 4}, ""}};
  for (const auto& [at, text] : cells) {
    EXPECT_EQ(CellText(sheet->Cell(at[0], at[1])), text) << at[0] << "," << at[1];
  }
}

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
