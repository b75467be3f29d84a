// The sheet store: what a sequence of puts reads back as, through Cell and
// through the column cursor, which must always agree.
#include "formats/common/sheet_store.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "conversion/cell_text.h"
#include "formats/common/cell_address.h"

namespace zerova {
namespace {

// Puts written "A1=text;B2=#1.5;A1;C1:D4=run;B3=" (a number after '#', no '=' a
// blank, "B3=" an empty text), then seals.
std::unique_ptr<SheetStore> Build(const std::string& puts) {
  auto store = std::make_unique<SheetStore>();
  std::stringstream in(puts);
  for (std::string put; std::getline(in, put, ';');) {
    const std::size_t eq = std::min(put.find('='), put.size()), colon = put.find(':');
    const std::string text = eq < put.size() ? put.substr(eq + 1) : "";
    const CellValue value = eq == put.size() ? CellValue()
                            : text[0] == '#' ? CellValue::Number(std::stod(text.substr(1)))
                                             : CellValue::Text(text);
    std::int64_t row, column, last_row, last_column;
    EXPECT_TRUE(ParseCellReference(put.substr(0, std::min(eq, colon)), &row, &column)) << put;
    if (colon < eq) {
      EXPECT_TRUE(
          ParseCellReference(put.substr(colon + 1, eq - colon - 1), &last_row, &last_column));
      const PackedValue packed = value.kind == CellKind::kText ? store->Text(value.text)
                                                               : PackedValue::Number(value.number);
      store->PutRun(row, last_row, column, last_column, packed);
    } else {
      store->Put(row, column, value);
    }
  }
  store->Seal();
  return store;
}

// The non-empty cells of rows 1..`rows` and columns 1..`columns` as "A1=x|B3=y",
// read down each column with a cursor; fails the test where the cursor and Cell
// disagree.
std::string Cells(const Worksheet& sheet, std::int64_t rows, std::int64_t columns) {
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

TEST(SheetStoreTest, LaterPutsWinEmptiesEmptyAndRunsCoverTheirCells) {
  const struct {
    const char* name;
    std::string puts;
    const char* expected;  // rows 1..6, columns 1..4
  } cases[] = {
      {"row order", "A1=a;A2=b;B1=#1;B2=#2", "A1=a|B1=1|A2=b|B2=2"},
      {"the same cell twice", "A1=a;A1=b", "A1=b"},
      {"a blank after later cells empties an earlier one", "A1=a;B1=b;A2=c;A3=d;A1",
       "B1=b|A2=c|A3=d"},
      {"a formula's empty result, then its text", "A1=x;A2;A2=y", "A1=x|A2=y"},
      {"an empty cell where none was changes nothing", "A3;A1=a;A5;A2=;A3=c", "A1=a|A3=c"},
      {"a cell put into a gap above", "A1=a;A3=c;A2=b", "A1=a|A2=b|A3=c"},
      {"rows put bottom up", "A5=#5;A4=#4;A3=#3;A2=#2;A1=#1", "A1=1|A2=2|A3=3|A4=4|A5=5"},
      {"out of order, the last put for a row wins", "A3=x;A1=y;A3=z;A2=w;A2", "A1=y|A3=z"},
      {"out of order, a blank empties the cell", "B4=a;B2=b;B4;B6=c", "B2=b|B6=c"},
      {"a run across columns", "A1=a;B1:D1=r;B2=b", "A1=a|B1=r|C1=r|D1=r|B2=b"},
      {"a band of rows with single cells beside its runs", "A1=L;A2:A4=#7;C2:D4=x;B2=s",
       "A1=L|A2=7|B2=s|C2=x|D2=x|A3=7|C3=x|D3=x|A4=7|C4=x|D4=x"},
      {"bands with a gap between them", "A1:B2=p;B4:C5=q",
       "A1=p|B1=p|A2=p|B2=p|B4=q|C4=q|B5=q|C5=q"},
      {"an empty run is dropped", "A1:D3=;B2=b", "B2=b"},
  };
  for (const auto& c : cases) EXPECT_EQ(Cells(*Build(c.puts), 6, 4), c.expected) << c.name;
}

TEST(SheetStoreTest, EveryKindReadsBack) {
  SheetStore store;
  std::int64_t row = 0;
  for (const CellValue& value :
       {CellValue::Date(1.5, DateSystem::k1904), CellValue::Date(60, DateSystem::k1900),
        CellValue::Boolean(true), CellValue::Error(CellError::kNA), CellValue::Number(-0.0),
        CellValue::Text(" ")}) {
    store.Put(++row, 1, value);
  }
  store.Seal();
  EXPECT_EQ(Cells(store, 6, 1), "A1=1904-01-02 12:00:00|A2=1900-02-29|A3=True|A4=#N/A|A5=0|A6= ");
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
  for (const char* text : {"zero", "", "two"}) shared.Add(text);
  SheetStore store(std::move(shared));
  ASSERT_EQ(store.string_count(), 3u);
  store.PutSharedString(1, 1, 2);
  store.PutSharedString(2, 1, 0);
  store.PutSharedString(3, 1, 1);  // an empty shared string reads as an empty cell
  store.PutSharedString(4, 1, 2);
  store.PutText(5, 1, "own");
  store.Seal();
  EXPECT_EQ(Cells(store, 5, 1), "A1=two|A2=zero|A4=two|A5=own");
}

TEST(SheetStoreTest, AddressesOutsideTheSheetAreEmpty) {
  const auto store = Build("A1=a;A2=b");
  constexpr std::int64_t kFar = std::int64_t{1} << 40;
  const std::int64_t rows[] = {0, -3, 1, 1, kFar, 1}, columns[] = {1, 1, 0, -1, 1, kFar};
  for (int i = 0; i < 6; ++i) {
    EXPECT_TRUE(store->Cell(rows[i], columns[i]).IsEmpty()) << rows[i] << "," << columns[i];
  }
  const auto cells = store->CursorAt(-1, 1);  // steps down into the sheet
  std::string seen;
  for (int i = 0; i < 5; ++i, cells->Down()) seen += CellText(cells->Cell()) + ";";
  EXPECT_EQ(seen, ";;a;b;;");
}

}  // namespace
}  // namespace zerova
