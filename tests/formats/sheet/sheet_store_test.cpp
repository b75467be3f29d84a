// The sheet store: what a sequence of puts reads back as, through Cell and
// through the column cursor, which must always agree. Its parts: strings kept in
// blocks (each reads back as added, its view stays put as the table grows, and
// AddOnce never confuses two texts) and values packed four or eight bytes wide
// (each reads back bit for bit, whatever its neighbours, across chunks' edges).
#include "formats/sheet/sheet_store.h"

#include <gtest/gtest.h>

#include <bit>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "conversion/cell_text.h"
#include "formats/sheet/string_table.h"
#include "formats/sheet/value_chunks.h"
#include "services/cell_address.h"
#include "support/heap_use.h"

namespace zerova {
namespace {

// Puts written "A1=text;A1;C1:D4=run;B3=" (no '=' a blank, "B3=" an empty text),
// then seals.
std::unique_ptr<SheetStore> Build(const std::string& puts) {
  auto store = std::make_unique<SheetStore>();
  std::stringstream in(puts);
  for (std::string put; std::getline(in, put, ';');) {
    const std::size_t eq = std::min(put.find('='), put.size()), colon = put.find(':');
    const std::string text = eq < put.size() ? put.substr(eq + 1) : "";
    const CellValue value = eq == put.size() ? CellValue() : CellValue::Text(text);
    std::int64_t row, column, last_row, last_column;
    EXPECT_TRUE(ParseCellReference(put.substr(0, std::min(eq, colon)), &row, &column)) << put;
    if (colon < eq) {
      EXPECT_TRUE(
          ParseCellReference(put.substr(colon + 1, eq - colon - 1), &last_row, &last_column));
      store->PutRun(row, last_row, column, last_column, store->Text(text));
    } else {
      store->Put(row, column, value);
    }
  }
  store->Seal();
  return store;
}

// Fails the test unless a cursor at (`row`, `column`) skips as many filled
// cells as Cell shows there, a cell at a time, and stops on an empty one.
void ExpectSkipFilled(const Worksheet& sheet, std::int64_t row, std::int64_t column) {
  std::int64_t filled = 0;
  while (!sheet.Cell(row + filled, column).IsEmpty()) ++filled;
  const auto cells = sheet.CursorAt(row, column);
  EXPECT_EQ(cells->SkipFilled(1000), filled) << CellReferenceText(row, column);
  EXPECT_TRUE(cells->Cell().IsEmpty()) << CellReferenceText(row, column);
}

// The non-empty cells of rows 1..`rows` and columns 1..`columns`, down each column
// with a cursor, as "A1=x|A3=y|B1=z"; fails the test where the cursor and Cell
// disagree, or a cursor skips a different count of filled cells.
std::string Cells(const Worksheet& sheet, std::int64_t rows, std::int64_t columns) {
  std::string out;
  for (std::int64_t column = 1; column <= columns; ++column) {
    const auto cells = sheet.CursorAt(1, column);
    for (std::int64_t row = 1; row <= rows; ++row, cells->Down()) {
      ExpectSkipFilled(sheet, row, column);
      const std::string text = CellText(cells->Cell());
      EXPECT_EQ(text, CellText(sheet.Cell(row, column))) << CellReferenceText(row, column);
      if (!cells->Cell().IsEmpty()) out += "|" + CellReferenceText(row, column) + "=" + text;
    }
  }
  return out.empty() ? out : out.substr(1);
}

TEST(SheetStoreTest, LaterPutsWinEmptiesEmptyAndRunsCoverTheirCells) {
  const struct {
    const char* name;
    std::string puts;
    const char* expected;  // rows 1..6, columns 1..4
  } cases[] = {
      {"a blank after later cells empties an earlier one", "A1=a;B1=b;A2=c;A3=d;A1",
       "A2=c|A3=d|B1=b"},
      {"a formula's empty result, then its text", "A1=x;A2;A2=y", "A1=x|A2=y"},
      {"out of order, the last put for a row wins", "A3=x;A1=y;A3=z;A2=w;A2", "A1=y|A3=z"},
      {"out of order, a blank empties the cell", "B4=a;B2=b;B4;B6=c", "B2=b|B6=c"},
      {"a band of rows with single cells beside its runs", "A1=L;A2:A4=7;C2:D4=x;B2=s",
       "A1=L|A2=7|A3=7|A4=7|B2=s|C2=x|C3=x|C4=x|D2=x|D3=x|D4=x"},
  };
  for (const auto& c : cases) EXPECT_EQ(Cells(*Build(c.puts), 6, 4), c.expected) << c.name;
}

// A shared string may be empty: a cell naming it is an empty cell, for skipping too.
TEST(SheetStoreTest, ACellNamingAnEmptySharedStringIsEmpty) {
  SheetStore store;
  const std::uint32_t empty = store.AddSharedString(""), x = store.AddSharedString("x");
  for (std::int64_t row : {1, 2, 3, 5}) store.PutSharedString(row, 1, x);
  store.PutSharedString(4, 1, empty);
  store.Seal();
  EXPECT_EQ(Cells(store, 6, 1), "A1=x|A2=x|A3=x|A5=x");
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
  const auto cells = store.CursorAt(1000, 16384);
  cells->Down();
  EXPECT_EQ(CellText(cells->Cell()), "tall");
}

// A column past two chunks of values, cells replaced where they stand at the
// chunks' edges and one put out of order, sorted by Seal.
TEST(SheetStoreTest, LongColumnsKeepEveryCellAcrossChunks) {
  constexpr std::int64_t kRows = 10000;
  const auto replaced = [](std::int64_t row) { return row == 4096 || row == 8193 || row == kRows; };
  SheetStore store;
  for (std::int64_t row = 1; row <= kRows; ++row) {
    if (row != 4097) store.PutNumber(row, 1, static_cast<double>(row));
  }
  for (std::int64_t row : {std::int64_t{4096}, std::int64_t{8193}, kRows}) {
    store.PutNumber(row, 1, -static_cast<double>(row));
  }
  store.PutNumber(4097, 1, 4097);
  store.Seal();
  const auto cells = store.CursorAt(1, 1);
  std::int64_t wrong = 0;
  for (std::int64_t row = 1; row <= kRows; ++row, cells->Down()) {
    const std::string expected = std::to_string(replaced(row) ? -row : row);
    wrong += CellText(cells->Cell()) != expected || CellText(store.Cell(row, 1)) != expected;
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_TRUE(cells->Cell().IsEmpty());
}

TEST(StringTableTest, EveryStringReadsBackAndStaysWhereItIs) {
  std::vector<std::string> added;
  StringTable table;
  for (std::size_t length : {0, 1, 16384, 16385, 70000, 65536, 0, 65535}) {
    added.push_back(std::string(length, static_cast<char>('a' + added.size())));
    EXPECT_EQ(table.Add(added.back()), added.size() - 1);
    for (int i = 0; i < 5000; ++i) {  // small ones across many blocks
      added.push_back("s" + std::to_string(added.size()));
      table.Add(added.back());
    }
  }
  const std::string_view first_long = table[10002];
  for (int i = 0; i < 1000; ++i) table.Add(std::string(100, 'x'));
  EXPECT_EQ(table[10002].data(), first_long.data());
  ASSERT_EQ(table.size(), added.size() + 1000);
  std::size_t wrong = 0;
  for (std::uint32_t i = 0; i < added.size(); ++i) wrong += table[i] != added[i];
  EXPECT_EQ(wrong, 0u);
}

TEST(StringTableTest, TextAddedOnceIsKeptOnceAndNeverConfused) {
  StringTable table;
  const std::uint32_t red = table.AddOnce("red");
  EXPECT_EQ(table.AddOnce("red"), red);
  EXPECT_NE(table.AddOnce("Red"), red);
  std::size_t wrong = 0;
  for (int i = 0; i < 100000; ++i) {  // far more texts than remembered: slots are reused
    const std::string text = "t" + std::to_string(i % 7919);
    wrong += table[table.AddOnce(text)] != text;
  }
  EXPECT_EQ(wrong, 0u);
  EXPECT_LT(table.size(), 100000u);
}

bool Same(PackedValue a, PackedValue b) { return a.kind == b.kind && a.bits == b.bits; }

PackedValue Number(double number) { return PackedValue::Number(number); }

// Whole numbers, as numbers or dates of either system, take four bytes each.
TEST(ValueChunksTest, WholeNumbersTakeFourBytes) {
  for (const PackedKind kind :
       {PackedKind::kNumber, PackedKind::kDate1900, PackedKind::kDate1904}) {
    const std::size_t before = test::HeapBytesInUse();
    ValueChunks values;
    for (int i = 0; i < 1 << 20; ++i) {
      values.push_back({kind, std::bit_cast<std::uint64_t>(static_cast<double>(i % 1000))});
    }
    EXPECT_LT(test::HeapBytesInUse() - before, 6u << 20);  // 4 MiB; 8 MiB were they wide
  }
}

TEST(ValueChunksTest, EveryValueReadsBackBitForBit) {
  // Values that fit in four bytes, and values that do not, though they look alike.
  const PackedValue samples[] = {
      PackedValue::String(UINT32_MAX - 1),
      Number(-0.0),  // whole, yet not its int's double: eight bytes
      Number(-2147483648.0),
      Number(2147483648.0),  // past 32 bits
      Number(std::numeric_limits<double>::quiet_NaN()),
      {PackedKind::kNumber, 0x7FF8000000000001},  // a NaN with a payload
  };
  // Each sample among narrow values and among wide ones, at a different place of a chunk.
  for (std::size_t s = 0; s < std::size(samples); ++s) {
    for (const PackedValue& neighbour : {PackedValue::String(7), Number(0.25)}) {
      ValueChunks values;
      for (std::size_t i = 0; i < 9000; ++i)
        values.push_back(i % 4099 == s ? samples[s] : neighbour);
      ASSERT_EQ(values.size(), 9000u);
      std::size_t wrong = 0;
      for (std::size_t i = 0; i < 9000; ++i) {
        wrong += !Same(values[i], i % 4099 == s ? samples[s] : neighbour);
      }
      EXPECT_EQ(wrong, 0u) << "sample " << s;
    }
  }
}

}  // namespace
}  // namespace zerova
