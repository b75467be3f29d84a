// The sheet store: what a sequence of puts reads back as, through Cell and
// through the column cursor, which must always agree.
#include "formats/common/sheet_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "conversion/cell_text.h"
#include "formats/common/cell_address.h"

namespace zerova {
namespace {

// One put: a single cell, or (with last_row/last_column set) a run.
struct Op {
  std::int64_t row;
  std::int64_t column;
  CellValue value;
  std::int64_t last_row = 0;
  std::int64_t last_column = 0;
};

CellValue T(const char* text) { return CellValue::Text(text); }
CellValue N(double number) { return CellValue::Number(number); }
Op RunOf(std::int64_t first_row, std::int64_t last_row, std::int64_t first_column,
         std::int64_t last_column, CellValue value) {
  return {first_row, first_column, std::move(value), last_row, last_column};
}

std::unique_ptr<SheetStore> Build(const std::vector<Op>& ops) {
  auto store = std::make_unique<SheetStore>();
  for (const Op& op : ops) {
    if (op.last_row == 0) {
      store->Put(op.row, op.column, op.value);
    } else {
      const PackedValue value = op.value.kind == CellKind::kText
                                    ? store->Text(op.value.text)
                                    : PackedValue::Number(op.value.number);
      store->PutRun(op.row, op.last_row, op.column, op.last_column, value);
    }
  }
  store->Seal();
  return store;
}

// The non-empty cells of rows 1..`rows` and columns 1..`columns` as "A1=x|B3=y",
// read with Cell.
std::string ByCell(const Worksheet& sheet, std::int64_t rows, std::int64_t columns) {
  std::string out;
  for (std::int64_t row = 1; row <= rows; ++row) {
    for (std::int64_t column = 1; column <= columns; ++column) {
      const CellView cell = sheet.Cell(row, column);
      if (cell.IsEmpty()) continue;
      out += (out.empty() ? "" : "|") + CellReferenceText(row, column) + "=" + CellText(cell);
    }
  }
  return out;
}

// The same, read down each column with a cursor; fails the test where the cursor
// and Cell disagree.
std::string ByCursor(const Worksheet& sheet, std::int64_t rows, std::int64_t columns) {
  std::vector<std::string> grid(static_cast<std::size_t>(rows * columns));
  for (std::int64_t column = 1; column <= columns; ++column) {
    const auto cells = sheet.CursorAt(1, column);
    for (std::int64_t row = 1; row <= rows; ++row, cells->Down()) {
      const CellView cell = cells->Cell();
      EXPECT_EQ(CellText(cell), CellText(sheet.Cell(row, column)))
          << CellReferenceText(row, column);
      if (!cell.IsEmpty()) {
        grid[static_cast<std::size_t>((row - 1) * columns + column - 1)] =
            CellReferenceText(row, column) + "=" + CellText(cell);
      }
    }
  }
  std::string out;
  for (const std::string& cell : grid) {
    if (!cell.empty()) out += (out.empty() ? "" : "|") + cell;
  }
  return out;
}

TEST(SheetStoreTest, LaterPutsWinAndEmptiesEmpty) {
  struct Case {
    const char* name;
    std::vector<Op> ops;
    const char* expected;  // rows 1..6, columns 1..3
  };
  const std::vector<Case> cases = {
      {"row order",
       {{1, 1, T("a")}, {2, 1, T("b")}, {1, 2, N(1)}, {2, 2, N(2)}},
       "A1=a|B1=1|A2=b|B2=2"},
      {"the same cell twice", {{1, 1, T("a")}, {1, 1, T("b")}}, "A1=b"},
      {"a blank after later cells empties an earlier one",
       {{1, 1, T("a")}, {1, 2, T("b")}, {2, 1, T("c")}, {3, 1, T("d")}, {1, 1, {}}},
       "B1=b|A2=c|A3=d"},
      {"a formula's empty result, then its text",
       {{1, 1, T("x")}, {2, 1, {}}, {2, 1, T("y")}},
       "A1=x|A2=y"},
      {"an empty cell where none was changes nothing",
       {{3, 1, {}}, {1, 1, T("a")}, {5, 1, {}}, {2, 1, T("")}, {3, 1, T("c")}},
       "A1=a|A3=c"},
      {"a cell put into a gap above",
       {{1, 1, T("a")}, {3, 1, T("c")}, {2, 1, T("b")}},
       "A1=a|A2=b|A3=c"},
      {"rows put bottom up",
       {{5, 1, N(5)}, {4, 1, N(4)}, {3, 1, N(3)}, {2, 1, N(2)}, {1, 1, N(1)}},
       "A1=1|A2=2|A3=3|A4=4|A5=5"},
      {"out of order, the last put for a row wins",
       {{3, 1, T("x")}, {1, 1, T("y")}, {3, 1, T("z")}, {2, 1, T("w")}, {2, 1, {}}},
       "A1=y|A3=z"},
      {"out of order, a blank empties the cell",
       {{4, 2, T("a")}, {2, 2, T("b")}, {4, 2, {}}, {6, 2, T("c")}},
       "B2=b|B6=c"},
      {"every kind",
       {{1, 1, CellValue::Date(1.5, DateSystem::k1904)},
        {2, 1, CellValue::Date(60, DateSystem::k1900)},
        {3, 1, CellValue::Boolean(true)},
        {4, 1, CellValue::Error(CellError::kNA)},
        {5, 1, N(-0.0)},
        {6, 1, T(" ")}},
       "A1=1904-01-02 12:00:00|A2=1900-02-29|A3=True|A4=#N/A|A5=0|A6= "},
  };
  for (const Case& c : cases) {
    const auto store = Build(c.ops);
    EXPECT_EQ(ByCell(*store, 6, 3), c.expected) << c.name;
    EXPECT_EQ(ByCursor(*store, 6, 3), c.expected) << c.name;
  }
}

TEST(SheetStoreTest, RunsCoverTheirCellsBesideSingleCells) {
  struct Case {
    const char* name;
    std::vector<Op> ops;
    const char* expected;  // rows 1..5, columns 1..4
  };
  const std::vector<Case> cases = {
      {"a run across columns",
       {{1, 1, T("a")}, RunOf(1, 1, 2, 4, T("r")), {2, 2, T("b")}},
       "A1=a|B1=r|C1=r|D1=r|B2=b"},
      {"a band of rows with single cells beside its runs",
       {{1, 1, T("L")}, RunOf(2, 4, 1, 1, N(7)), RunOf(2, 4, 3, 4, T("x")), {2, 2, T("s")}},
       "A1=L|A2=7|B2=s|C2=x|D2=x|A3=7|C3=x|D3=x|A4=7|C4=x|D4=x"},
      {"bands with a gap between them",
       {RunOf(1, 2, 1, 2, T("p")), RunOf(4, 5, 2, 3, T("q"))},
       "A1=p|B1=p|A2=p|B2=p|B4=q|C4=q|B5=q|C5=q"},
      {"an empty run is dropped", {RunOf(1, 3, 1, 4, T("")), {2, 2, T("b")}}, "B2=b"},
  };
  for (const Case& c : cases) {
    const auto store = Build(c.ops);
    EXPECT_EQ(ByCell(*store, 5, 4), c.expected) << c.name;
    EXPECT_EQ(ByCursor(*store, 5, 4), c.expected) << c.name;
  }
}

// Were runs stored cell by cell, these would want terabytes.
TEST(SheetStoreTest, HugeRepeatsCostOneEntryEach) {
  SheetStore store;
  const PackedValue wide = store.Text("w");
  for (std::int64_t row = 1; row <= 1000; ++row) store.PutRun(row, row, 1, 16384, wide);
  store.PutRun(1001, 1048576, 1, 16384, store.Text("tall"));
  store.Seal();
  EXPECT_EQ(CellText(store.Cell(1000, 16384)), "w");
  EXPECT_EQ(CellText(store.Cell(1048576, 9000)), "tall");
  EXPECT_TRUE(store.Cell(1048577, 1).IsEmpty());
  EXPECT_TRUE(store.Cell(1, 16385).IsEmpty());
  const auto cells = store.CursorAt(999, 16384);
  for (const char* expected : {"w", "w", "tall", "tall"}) {
    EXPECT_EQ(CellText(cells->Cell()), expected);
    cells->Down();
  }
}

// A column past one chunk of values, its cells replaced and put out of order
// across the chunks' edges, in order and after sorting.
TEST(SheetStoreTest, LongColumnsKeepEveryCellAcrossChunks) {
  constexpr std::int64_t kRows = 10000;  // two chunks and some
  for (const bool out_of_order : {false, true}) {
    SheetStore store;
    for (std::int64_t row = 1; row <= kRows; ++row) {
      if (row != 4097) store.PutNumber(row, 1, static_cast<double>(row));
    }
    for (const std::int64_t row : {std::int64_t{4096}, std::int64_t{8193}, kRows}) {
      store.PutNumber(row, 1, -static_cast<double>(row));  // replaced where it stands
    }
    if (out_of_order) store.PutNumber(4097, 1, 4097);  // fills the gap: sorted by Seal
    store.Seal();
    const auto cells = store.CursorAt(1, 1);
    std::int64_t wrong = 0;
    for (std::int64_t row = 1; row <= kRows; ++row, cells->Down()) {
      const bool replaced = row == 4096 || row == 8193 || row == kRows;
      const std::string expected = row == 4097 && !out_of_order ? ""
                                   : replaced                   ? std::to_string(-row)
                                                                : std::to_string(row);
      if (CellText(cells->Cell()) != expected || CellText(store.Cell(row, 1)) != expected) {
        ++wrong;
      }
    }
    EXPECT_EQ(wrong, 0) << (out_of_order ? "sorted" : "in order");
    EXPECT_TRUE(cells->Cell().IsEmpty());
  }
}

TEST(SheetStoreTest, SharedStringsKeepTheirIndices) {
  StringTable shared;
  shared.Add("zero");
  shared.Add("");
  shared.Add("two");
  SheetStore store(std::move(shared));
  ASSERT_EQ(store.string_count(), 3u);
  store.PutSharedString(1, 1, 2);
  store.PutSharedString(2, 1, 0);
  store.PutSharedString(3, 1, 1);  // an empty shared string reads as an empty cell
  store.PutSharedString(4, 1, 2);
  store.PutText(5, 1, "own");
  store.Seal();
  EXPECT_EQ(ByCursor(store, 5, 1), "A1=two|A2=zero|A4=two|A5=own");
}

TEST(SheetStoreTest, AddressesOutsideTheSheetAreEmpty) {
  const auto store = Build({{1, 1, T("a")}, {2, 1, T("b")}});
  for (const auto& [row, column] :
       std::vector<std::pair<std::int64_t, std::int64_t>>{{0, 1},
                                                          {-3, 1},
                                                          {1, 0},
                                                          {1, -1},
                                                          {std::int64_t{1} << 40, 1},
                                                          {1, std::int64_t{1} << 40}}) {
    EXPECT_TRUE(store->Cell(row, column).IsEmpty()) << row << "," << column;
  }
  const auto cells = store->CursorAt(-1, 1);  // steps down into the sheet
  std::string seen;
  for (int i = 0; i < 5; ++i, cells->Down()) seen += CellText(cells->Cell()) + ";";
  EXPECT_EQ(seen, ";;a;b;;");
}

}  // namespace
}  // namespace zerova
