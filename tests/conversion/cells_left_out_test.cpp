// The filled cells a table leaves out, and a sheet's first filled cell, as the
// sheet's filled blocks tell them, against the same found cell by cell: on
// random sheet stores (single cells in and out of order, cells emptied again,
// text of length 0, runs of repeats, an empty text repeated) from several first
// cells, and on the active sheet of every fixture input, read by its reader.
#include "conversion/cells_left_out.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <set>

#include "formats/sheet/sheet_store.h"
#include "support/document.h"

namespace zerova::test {
namespace {

// What FindCellsLeftOut and FirstFilledCell answer, found by asking Cell for
// every cell of the first `rows` by `columns`; the table as the run walks it.
struct ByHand {
  TableReach table;
  CellsLeftOut left_out;
  std::optional<CellPlace> first_filled;
};

ByHand FindByHand(const Worksheet& sheet, CellPlace first, std::int64_t rows,
                  std::int64_t columns) {
  ByHand found{{first, {}}, {}, std::nullopt};
  std::set<std::pair<std::int64_t, std::int64_t>> in_table;
  for (std::int64_t c = first.column; !sheet.Cell(first.row, c).IsEmpty(); ++c) {
    std::int64_t& values = found.table.values.emplace_back(0);
    in_table.insert({first.row, c});
    while (!sheet.Cell(first.row + values + 1, c).IsEmpty())
      in_table.insert({first.row + ++values, c});
  }
  for (std::int64_t r = 1; r <= rows; ++r) {
    for (std::int64_t c = 1; c <= columns; ++c) {
      if (sheet.Cell(r, c).IsEmpty()) continue;
      if (!found.first_filled) found.first_filled = CellPlace{r, c};
      if (r < first.row || c < first.column || in_table.contains({r, c})) continue;
      if (found.left_out.count++ == 0) found.left_out.first = {r, c};
    }
  }
  return found;
}

void ExpectAsByHand(const Worksheet& sheet, CellPlace first, std::int64_t rows,
                    std::int64_t columns) {
  SCOPED_TRACE(CellReferenceText(first.row, first.column));
  const ByHand expected = FindByHand(sheet, first, rows, columns);
  const CellsLeftOut left_out = FindCellsLeftOut(sheet, expected.table);
  EXPECT_EQ(left_out.count, expected.left_out.count);
  EXPECT_EQ(left_out.first, expected.left_out.first);
  EXPECT_EQ(FirstFilledCell(sheet), expected.first_filled);
}

constexpr int kRows = 14, kColumns = 9;

std::unique_ptr<SheetStore> RandomSheet(std::mt19937& random) {
  const auto pick = [&random](int n) { return static_cast<int>(random() % n); };
  auto store = std::make_unique<SheetStore>();
  const std::uint32_t blank = store->AddSharedString("");
  std::set<std::pair<int, int>> in_runs;
  // Runs in bands down the sheet, left to right in each.
  for (int row = 1 + pick(6); row <= kRows; row += 2 + pick(4)) {
    const int last_row = std::min(kRows, row + pick(3));
    for (int column = 1 + pick(4); column <= kColumns; column += 2 + pick(4)) {
      const int last_column = std::min(kColumns, column + pick(3));
      store->PutRun(row, last_row, column, last_column,
                    pick(4) == 0 ? PackedValue::String(blank) : store->Text("r"));
      for (int r = row; r <= last_row; ++r) {
        for (int c = column; c <= last_column; ++c) in_runs.insert({r, c});
      }
      column = last_column;
    }
    row = last_row;
  }
  for (int cells = pick(60); cells > 0; --cells) {
    const int row = 1 + pick(kRows), column = 1 + pick(kColumns), kind = pick(5);
    if (in_runs.contains({row, column})) continue;
    if (kind == 0) store->PutSharedString(row, column, blank);
    if (kind == 1) store->PutNumber(row, column, 0);
    if (kind >= 2) store->PutText(row, column, "x");
    if (kind == 2) store->PutEmpty(row, column);
  }
  store->Seal();
  return store;
}

TEST(CellsLeftOutTest, RandomSheetsGiveWhatEachCellSays) {
  std::mt19937 random(35);
  for (int sheet = 0; sheet < 400; ++sheet) {
    SCOPED_TRACE(sheet);
    const std::unique_ptr<SheetStore> store = RandomSheet(random);
    for (const CellPlace first : {CellPlace{1, 1}, CellPlace{1 + static_cast<int>(random() % 4),
                                                             1 + static_cast<int>(random() % 4)}}) {
      ExpectAsByHand(*store, first, kRows + 2, kColumns + 2);
    }
  }
}

TEST(CellsLeftOutTest, EveryFixtureGivesWhatEachCellSays) {
  constexpr std::int64_t kMostRows = 300, kMostColumns = 40;  // the grid asked cell by cell
  int checked = 0;
  for (const auto& folder : std::filesystem::directory_iterator(ZEROVA_TEST_DATA)) {
    if (!folder.is_directory() || std::filesystem::exists(folder.path() / "password.txt")) continue;
    for (const auto& file : std::filesystem::directory_iterator(folder.path())) {
      if (!file.path().stem().string().starts_with("input")) continue;
      SCOPED_TRACE(file.path().string());
      const std::unique_ptr<Worksheet> sheet =
          ReadActiveSheet(ReadFileBytes(file.path().string()), file.path().filename().string());
      bool within = true;
      sheet->ForEachFilledBlock([&](const CellBlock& block) {
        within = within && block.last_row <= kMostRows && block.last_column <= kMostColumns;
      });
      if (!within) continue;
      ExpectAsByHand(*sheet, {1, 1}, kMostRows, kMostColumns);
      ExpectAsByHand(*sheet, {2, 2}, kMostRows, kMostColumns);
      ++checked;
    }
  }
  EXPECT_GT(checked, 40);
}

}  // namespace
}  // namespace zerova::test
