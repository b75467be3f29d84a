// Writes input.xlsb into the fixture folders under tests/data/ whose sheets no
// Debian tool can save as .xlsb: the same cells as the folder's other inputs (see
// tests/data/make_fixtures.py and make_office_fixtures.py), so each folder's
// expected.xml checks the .xlsb reader too. The records come from
// support/xlsb_builder.h and vary by folder: shared and inline strings, rich text,
// RK and real numbers, built-in and workbook-defined date formats.
//
// Usage (the target is built on demand only):
//   cmake --build --preset default --target make_xlsb_fixtures
//   build/default/tests/make_xlsb_fixtures tests/data
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "support/xlsb_builder.h"
#include "support/zip_builder.h"

namespace zerova::testing::xlsb {
namespace {

// One cell's record, given its 0-based column.
using CellRecord = std::function<std::string(std::uint32_t col)>;

CellRecord Str(const std::string& text) {
  return [=](std::uint32_t c) { return Text(c, text); };
}
CellRecord Rich(const std::string& text) {
  return [=](std::uint32_t c) { return RichText(c, text); };
}
CellRecord Num(double value, std::uint32_t style = 0) {
  return [=](std::uint32_t c) { return Real(c, value, style); };
}
// An RK integer, optionally in hundredths.
CellRecord Int(std::int32_t n, bool hundredths = false, std::uint32_t style = 0) {
  const std::uint32_t rk = (static_cast<std::uint32_t>(n) << 2) | 2 | (hundredths ? 1 : 0);
  return [=](std::uint32_t c) { return Rk(c, rk, style); };
}
CellRecord Flag(bool value) {
  return [=](std::uint32_t c) { return Bool(c, value ? 1 : 0); };
}
CellRecord Empty() {
  return [](std::uint32_t c) { return Blank(c); };
}

// A sheet's cells, and the shared-string table they may refer to.
class Grid {
 public:
  // Puts `cells` down column `col` from row `first_row` (0-based) on.
  void Column(std::uint32_t col, const std::vector<CellRecord>& cells,
              std::uint32_t first_row = 0) {
    for (std::uint32_t i = 0; i < cells.size(); ++i) cells_[{first_row + i, col}] = cells[i](col);
  }

  // A cell naming shared string `text`, added to the table on first use.
  CellRecord Shared(const std::string& text, bool rich = false) {
    auto [it, added] = index_.try_emplace(text, static_cast<std::uint32_t>(strings_.size()));
    if (added) strings_.push_back(SstItem(text, rich));
    const std::uint32_t isst = it->second;
    return [=](std::uint32_t c) { return Isst(c, isst); };
  }

  // The records of the sheet data: each row's header, then its cells by column.
  std::string Data() const {
    std::string data;
    std::int64_t row = -1;
    for (const auto& [at, record] : cells_) {
      if (at.first != row) data += Row(at.first);
      row = at.first;
      data += record;
    }
    return data;
  }

  const std::vector<std::string>& strings() const { return strings_; }

 private:
  std::map<std::pair<std::uint32_t, std::uint32_t>, std::string> cells_;  // (row, col)
  std::map<std::string, std::uint32_t> index_;
  std::vector<std::string> strings_;
};

XlsbBook OneSheetBook(const std::string& name, const Grid& grid) {
  XlsbBook book;
  book.sheets = {{name, grid.Data()}};
  book.shared = grid.strings();
  return book;
}

XlsbBook Basic() {
  Grid g;
  auto s = [&](const char* text) { return g.Shared(text); };
  g.Column(0, {s("Name"), s("Alice"), s("Bob"), Empty(), s("Carol")});
  g.Column(1, {s("Age"), Int(30), Int(25), Empty(), Num(41)});
  g.Column(2, {s("City"), s("Paris"), Empty(), Empty(), s("Oslo")});
  g.Column(4, {s("Hidden"), s("x"), s("y")});
  return OneSheetBook("Sheet1", g);
}

XlsbBook Numbers() {
  Grid g;
  g.Column(0, {Str("Value"), Num(1.5), Num(1e20), Num(0.1 + 0.2), Num(1.0 / 3),
               Num(123456789012345678.0), Num(1e-7), Num(1e15), Num(1e14), Num(0.0001),
               Num(3.141592653589793), Int(0), Num(-0.0)});
  // RK integers, hundredths and a truncated double (-2.5); 2^29 needs a real.
  const CellRecord minus_two_and_a_half = [](std::uint32_t c) { return Rk(c, 0xC0040000); };
  g.Column(1, {Str("Stored"), Int(42), Int(-7), Int(536870911), Num(536870912),
               minus_two_and_a_half, Int(1234, true), Int(123456789, true)});
  return OneSheetBook("Numbers", g);
}

XlsbBook Dates() {
  Grid g;
  enum : std::uint32_t {
    kGeneral,
    kIsoDate,
    kTime,
    kStamp,
    kElapsed,
    kAccounting,
    kRed,
    kDmy,
    kFixed
  };
  const double stamp = 45351 + 49530.0 / 86400;  // 2024-02-29 13:45:30
  g.Column(0, {Str("Date"), Num(45351, kIsoDate), Num(36525, kIsoDate), Int(60, false, kIsoDate),
               Int(1, false, kIsoDate), Num(stamp, kIsoDate)});
  g.Column(1, {Str("Time"), Num(49530.0 / 86400, kTime), Num(0.5, kTime), Num(0.9999999, kTime),
               Int(0, false, kTime)});
  g.Column(2, {Str("Stamp"), Num(36526, kStamp), Num(61.25, kStamp), Num(2958465.99999, kStamp),
               Num(2958466, kStamp), Int(-1, false, kStamp)});
  g.Column(3, {Str("Elapsed"), Num(1.5, kElapsed)});
  g.Column(4, {Str("Amount"), Num(1234, kAccounting), Num(2.25, kRed), Num(45000, kDmy)});
  g.Column(5, {Str("Plain"), Num(45000), Num(1.5, kFixed)});
  XlsbBook book = OneSheetBook("Dates", g);
  book.formats = {
      {164, "YYYY-MM-DD"}, {165, "_-* #,##0\\ _D_M_-"}, {166, "[Red]0.00"}, {167, "dd/mm/yyyy"}};
  book.cell_formats = {0, 164, 21, 22, 46, 165, 166, 167, 2};  // 21, 22, 46, 2: built in
  return book;
}

XlsbBook Dates1904() {
  Grid g;
  g.Column(0, {Str("When"), Int(1, false, 1), Num(1.25, 1), Num(0, 1), Num(45351 - 1462, 1)});
  XlsbBook book = OneSheetBook("Dates", g);
  book.date1904 = true;
  book.formats = {{164, "yyyy-mm-dd"}};
  book.cell_formats = {0, 164};
  return book;
}

XlsbBook TextSheet() {
  Grid g;
  g.Column(0, {Str("Name & \"Title\""), g.Shared("café", true), Rich("Grüße, Ζεύς, Москва"),
               g.Shared("日本語"), Str("\xF0\x9F\x98\x80"), Str("a & b < c > d"),
               Str("say \"hi\" it's"), g.Shared("line1\r\nline2"), Str("tab\there"),
               Str("  padded  "), g.Shared(" "), Str("bell\x07")});
  g.Column(1, {Str("<b>"), Str("x")});
  return OneSheetBook("Text", g);
}

XlsbBook Booleans() {
  Grid g;
  g.Column(0, {Str("Flag"), Flag(true), Flag(false), Flag(true)});
  g.Column(1, {Str("Mixed"), Int(0), Str(" "), Flag(false), Str(""), Str("after")});
  return OneSheetBook("Flags", g);
}

XlsbBook ActiveSheet() {
  XlsbBook book;
  for (const char* name : {"First", "Second", "Third"}) {
    Grid g;
    g.Column(0, {Str(name), Str(std::string("from the ") +
                                (name[0] == 'F'   ? "first"
                                 : name[0] == 'S' ? "second"
                                                  : "third") +
                                " sheet")});
    book.sheets.push_back({name, g.Data()});
  }
  book.active = 1;
  return book;
}

XlsbBook Formulas() {
  Grid g;
  auto s = [&](const char* text) { return g.Shared(text); };
  g.Column(0,
           {s("Item"), s("div"), s("text"), s("bool"), s("half"), s("na"), s("empty"), s("after")});
  g.Column(1, {s("Result"), [](std::uint32_t c) { return FormulaError(c, 0x07); },
               [](std::uint32_t c) { return FormulaText(c, "ab"); },
               [](std::uint32_t c) { return FormulaBool(c, 0); },
               [](std::uint32_t c) { return FormulaNumber(c, 3.5); },
               [](std::uint32_t c) { return FormulaError(c, 0x2A); },
               [](std::uint32_t c) { return FormulaText(c, ""); },
               [](std::uint32_t c) { return FormulaNumber(c, 1); }});
  return OneSheetBook("Sheet1", g);
}

XlsbBook WesternText() {
  Grid g;
  std::vector<CellRecord> cells;
  for (const char* text : {"Größe", "Köln", "café", "€5", "Ærø", "naïve – dash"}) {
    cells.push_back(g.Shared(text));
  }
  g.Column(0, cells);
  return OneSheetBook("Sheet1", g);
}

XlsbBook CsvImport() {
  Grid g;
  g.Column(0, {Str("City"), Str("Berlin"), Str("Köln"), Str("München")});
  g.Column(1, {Str("Population"), Int(3677472), Int(1073096), Int(1512491)});
  g.Column(2, {Str("Capital"), Flag(true), Flag(false), Flag(false)});
  return OneSheetBook("Sheet1", g);
}

XlsbBook OpenpyxlBook() {
  Grid g;
  const double linus = 45351 + 49530.0 / 86400;
  g.Column(0, {Str("Name"), Str("Ada"), Str("Grace"), Str("Linus")});
  g.Column(1, {Str("Born"), Num(2535, 1), Num(25565, 1), Num(linus, 1)});
  g.Column(2, {Str("Score"), Num(1.5), Int(0), Num(1e20), Num(0.1)});
  g.Column(3, {Str("Note"), Str("x<y & \"z\""), Str("it's"), Str("tab\there"), Str("Ünïcödé €")});
  XlsbBook book = OneSheetBook("People", g);
  book.formats = {{164, "yyyy-mm-dd hh:mm:ss"}};
  book.cell_formats = {0, 164};
  return book;
}

}  // namespace
}  // namespace zerova::testing::xlsb

int main(int argc, char** argv) {
  using namespace zerova::testing;
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_xlsb_fixtures DATA_FOLDER\n");
    return 2;
  }
  const std::map<std::string, xlsb::XlsbBook> books = {{"basic", xlsb::Basic()},
                                                       {"numbers", xlsb::Numbers()},
                                                       {"dates", xlsb::Dates()},
                                                       {"dates-1904", xlsb::Dates1904()},
                                                       {"text", xlsb::TextSheet()},
                                                       {"booleans", xlsb::Booleans()},
                                                       {"active-sheet", xlsb::ActiveSheet()},
                                                       {"formulas", xlsb::Formulas()},
                                                       {"western-text", xlsb::WesternText()},
                                                       {"csv-import", xlsb::CsvImport()},
                                                       {"openpyxl-book", xlsb::OpenpyxlBook()}};
  for (const auto& [feature, book] : books) {
    const std::filesystem::path path = std::filesystem::path(argv[1]) / feature / "input.xlsb";
    const std::vector<std::uint8_t> bytes = Zip(xlsb::Parts(book));
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
      std::fprintf(stderr, "make_xlsb_fixtures: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
