// Writes the fixture inputs that no Debian tool saves, with the tests' own
// builders (support/biff_builder.h, support/xlsb_builder.h); running it again
// changes no byte. From the project's root, after `cmake --preset default`:
//
//   cmake --build --preset default --target make_binary_fixtures
//   build/default/tests/make_binary_fixtures tests/data
//
// - <feature>/input-biffN.xls: Excel 2.1, 3.0 and 4.0 copies of some folders, bare
//   record streams as those versions stored them (the OpenOffice.org "Microsoft
//   Excel File Format" document describes the records);
// - biff-unnamed-version/: streams as Excel 2.x-era writers left them, a first BOF
//   of BIFF5's and BIFF8's id (0x0809) but 6 bytes and version 0, then BIFF2's own
//   cell records and those of BIFF3 to BIFF5 side by side; input-formats.xls puts
//   BIFF4's FORMAT and XF records before them; its expected.xml is written by hand;
// - <feature>/input.xlsb: Excel binary workbooks ([MS-XLSB] 2.3), their records
//   varying by folder (shared and inline strings, rich text, RK and real numbers,
//   formulas' cached results, date formats, the 1904 date system, the active tab,
//   hidden sheets); a folder whose cells need no other record has no .xlsb copy.
// Each holds the cells of its folder's other inputs, and so gives its expected.xml.
// The same files seed the fuzz targets.
#include <algorithm>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "support/biff_builder.h"
#include "support/xlsb_builder.h"

namespace zerova::test {
namespace {

using B = BiffBuilder;
using F = FormulaCache;

// A BIFF2-4 worksheet: BOF, code page, date system, `formats` (numbered in order)
// and one cell format (XF) for each of `xf_formats`, DIMENSIONS; its cells follow.
B OldSheet(Biff version, const std::vector<std::string>& formats = {"General"},
           const std::vector<std::uint16_t>& xf_formats = {0}, bool date1904 = false) {
  B b(version);
  b.Bof(version, kWorksheetBof)
      .Codepage(1252)
      .Record(0x0022, {static_cast<std::uint8_t>(date1904), 0});
  for (const std::string& code : formats) b.Format(0, code);
  for (std::uint16_t format : xf_formats) b.Xf(format);
  const bool biff2 = version == Biff::k2;
  return std::move(b.Record(biff2 ? 0x0000 : 0x0200, Bytes(biff2 ? 8 : 10, 0)));
}

Bytes Joined(std::vector<Bytes> parts) {
  Bytes out;
  for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

// basic/ as Excel 2.1 writes it: small integers as INTEGER.
Bytes Basic() {
  B s = OldSheet(Biff::k2);
  s.Label(0, 0, "Name")
      .Label(1, 0, "Alice")
      .Label(2, 0, "Bob")
      .Label(3, 0, "")
      .Label(4, 0, "Carol");
  s.Label(0, 1, "Age").Integer(1, 1, 30).Integer(2, 1, 25).Label(3, 1, "").Integer(4, 1, 41);
  s.Label(0, 2, "City").Label(1, 2, "Paris").Label(2, 2, "").Label(3, 2, "").Label(4, 2, "Oslo");
  return s.Label(0, 4, "Hidden").Label(1, 4, "x").Label(2, 4, "y").Eof().BuildBare();
}

// formulas/ as Excel 3.0 writes it: each result cached in its FORMULA record, a
// text after it in a STRING record.
Bytes Formulas() {
  B s = OldSheet(Biff::k3);
  s.Label(0, 0, "Item").Label(0, 1, "Result");
  const std::tuple<const char*, F, std::u16string> rows[] = {
      {"div", F::Error(0x07), u""},  {"text", F::Text(), u"ab"},  {"bool", F::Boolean(false), u""},
      {"half", F::Number(3.5), u""}, {"na", F::Error(0x2A), u""}, {"empty", F::Text(), u""},
      {"after", F::Number(1), u""}};
  int row = 0;
  for (const auto& [item, result, text] : rows) {
    s.Label(++row, 0, item);
    s.Formula(row, 1, result);
    if (result.type == F::Text().type) s.String(text);
  }
  return s.Eof().BuildBare();
}

// dates-1904/ as Excel 4.0 writes it: the 1904 date system, a date format of its own.
Bytes Dates1904() {
  B s = OldSheet(Biff::k4, {"General", "yyyy-mm-dd"}, {0, 1}, true);
  s.Label(0, 0, "When").Rk(1, 0, B::RkInt(1), 1).Number(2, 0, 1.25, 1).Rk(3, 0, B::RkInt(0), 1);
  return s.Rk(4, 0, B::RkInt(43889), 1).Eof().BuildBare();  // 2024-02-29 from 1904
}

// booleans/ as the first sheet of an Excel 4.0 workbook: globals naming the sheets,
// then each sheet after its SHEETHDR (the sheet's length and name).
Bytes Booleans() {
  B flags = OldSheet(Biff::k4);
  flags.Label(0, 0, "Flag").BoolErr(1, 0, 1, false).BoolErr(2, 0, 0, false).BoolErr(3, 0, 1, false);
  flags.Label(0, 1, "Mixed").Rk(1, 1, B::RkInt(0)).Label(2, 1, " ").BoolErr(3, 1, 0, false);
  flags.Label(4, 1, "").Label(5, 1, "after").Eof();
  B other = OldSheet(Biff::k4);
  other.Label(0, 0, "Other").Eof();
  B globals(Biff::k4);
  globals.Bof(Biff::k4, kBiff4WorkbookBof).Codepage(1252).Boundsheet("Flags").Boundsheet("Other");
  std::vector<Bytes> parts = {globals.Eof().BuildBare()};
  for (const B* sheet : {&flags, &other}) {
    const std::string name = sheet == &flags ? "Flags" : "Other";
    const std::size_t size = sheet->BuildBare().size();
    Bytes header(5 + name.size());  // the sheet's length, then its name as a byte string
    for (int i = 0; i < 4; ++i) header[i] = static_cast<std::uint8_t>(size >> (8 * i));
    header[4] = static_cast<std::uint8_t>(name.size());
    std::copy(name.begin(), name.end(), header.begin() + 5);
    parts.push_back(B().Record(0x008F, header).BuildBare());
    parts.push_back(sheet->BuildBare());
  }
  return Joined(parts);
}

// Row 1 in BIFF2's LABEL, NUMBER and INTEGER, row 2 in the LABEL, NUMBER and RK of
// BIFF3 to BIFF5, after the unnamed BOF. With `formats`, BIFF4's FORMAT records and
// BIFF2's, numbered in order, then BIFF4's XF records, which the cells name.
Bytes UnnamedVersion(bool formats) {
  B head(Biff::k4);
  head.Record(0x0809, {0, 0, 0x10, 0, 0, 0});
  B old_formats(Biff::k2);
  B xfs(Biff::k4);
  if (formats) {
    head.Format(0, "General");
    old_formats.Format(0, "0").Format(0, "00.0");
    xfs.Format(3, "0000.00").Xf(0).Xf(1).Xf(2).Xf(3);
  }
  const int xf = formats ? 1 : 0;
  B biff2(Biff::k2);
  biff2.Label(0, 0, "BIFF2", xf).Number(0, 1, 1234.5678, 2 * xf).Integer(0, 2, 1234, 2 * xf);
  B later(Biff::k3);
  later.Label(1, 0, "BIFF3-5").Number(1, 1, 8765.4321, 3 * xf).Rk(1, 2, B::RkInt(4321), 3 * xf);
  return Joined({head.BuildBare(), old_formats.BuildBare(), xfs.BuildBare(), biff2.BuildBare(),
                 later.Eof().BuildBare()});
}

namespace xb = xlsb;

// An .xlsb sheet's cell, made for the column it is put in.
using Col = std::uint32_t;
using Cell = std::function<std::string(Col)>;

Cell Text(const std::string& s) {
  return [s](Col c) { return xb::Text(c, s); };
}
Cell Rich(const std::string& s) {
  return [s](Col c) { return xb::RichText(c, s); };
}
Cell Num(double v, Col style = 0) {
  return [=](Col c) { return xb::Real(c, v, style); };
}
Cell RkBits(Col rk, Col style = 0) {
  return [=](Col c) { return xb::Rk(c, rk, style); };
}
// An RK integer (bit 1), in hundredths when bit 0 is set.
Cell Int(std::int32_t n, Col style = 0, bool hundredths = false) {
  return RkBits(B::RkInt(n, hundredths), style);
}
Cell Flag(bool v) {
  return [=](Col c) { return xb::Bool(c, v); };
}
Cell Empty() {
  return [](Col c) { return xb::Blank(c); };
}

// A sheet's cells, and the shared-string table they may name.
class Grid {
 public:
  // Puts `cells` down column `col` from row 0.
  void Column(std::uint32_t col, const std::vector<Cell>& cells) {
    for (std::uint32_t row = 0; row < cells.size(); ++row) cells_[{row, col}] = cells[row](col);
  }
  // A cell naming shared string `text`, added to the table at its first use.
  Cell Shared(const std::string& text, bool rich = false) {
    const auto [at, added] = index_.try_emplace(text, strings_.size());
    if (added) strings_.push_back(xb::SstItem(text, rich));
    return [index = at->second](std::uint32_t col) { return xb::Isst(col, index); };
  }
  // Each row's header (BrtRowHdr), then its cells by column.
  std::string Data() const {
    std::string data;
    for (auto cell = cells_.begin(); cell != cells_.end(); ++cell) {
      if (cell == cells_.begin() || std::prev(cell)->first.first != cell->first.first) {
        data += xb::Row(cell->first.first);
      }
      data += cell->second;
    }
    return data;
  }
  const std::vector<std::string>& strings() const { return strings_; }

 private:
  std::map<std::pair<std::uint32_t, std::uint32_t>, std::string> cells_;  // by (row, column)
  std::map<std::string, std::uint32_t> index_;
  std::vector<std::string> strings_;
};

// A one-sheet book; `cell_formats` gives each cell XF's format id.
xb::XlsbBook OneSheet(const std::string& name, const Grid& grid,
                      std::vector<std::pair<std::uint16_t, std::string>> formats = {},
                      std::vector<std::uint16_t> cell_formats = {}, bool date1904 = false) {
  xb::XlsbBook book;
  book.sheets = {{name, grid.Data()}};
  book.shared = grid.strings();
  book.formats = std::move(formats);
  book.cell_formats = std::move(cell_formats);
  book.date1904 = date1904;
  return book;
}

xb::XlsbBook BasicBook() {
  Grid g;
  const auto s = [&g](const char* text) { return g.Shared(text); };
  g.Column(0, {s("Name"), s("Alice"), s("Bob"), Empty(), s("Carol")});
  g.Column(1, {s("Age"), Int(30), Int(25), Empty(), Num(41)});
  g.Column(2, {s("City"), s("Paris"), Empty(), Empty(), s("Oslo")});
  g.Column(4, {s("Hidden"), s("x"), s("y")});
  return OneSheet("Sheet1", g);
}

xb::XlsbBook NumbersBook() {
  Grid g;
  g.Column(0, {Text("Value"), Num(1.5), Num(1e20), Num(0.1 + 0.2), Num(1.0 / 3),
               Num(123456789012345678.0), Num(1e-7), Num(1e15), Num(1e14), Num(0.0001),
               Num(3.141592653589793), Int(0), Num(-0.0)});
  // RK integers, hundredths and a truncated double (-2.5); 2^29 needs a real.
  g.Column(1, {Text("Stored"), Int(42), Int(-7), Int(536870911), Num(536870912), RkBits(0xC0040000),
               Int(1234, 0, true), Int(123456789, 0, true)});
  return OneSheet("Numbers", g);
}

xb::XlsbBook DatesBook() {
  enum : std::uint32_t { kIso = 1, kTime, kStamp, kElapsed, kAccounting, kRed, kDmy, kFixed };
  const double when = 45351 + 49530.0 / 86400;  // 2024-02-29 13:45:30
  Grid g;
  g.Column(0, {Text("Date"), Num(45351, kIso), Num(36525, kIso), Int(60, kIso), Int(1, kIso),
               Num(when, kIso)});
  g.Column(1, {Text("Time"), Num(49530.0 / 86400, kTime), Num(0.5, kTime), Num(0.9999999, kTime),
               Int(0, kTime)});
  g.Column(2, {Text("Stamp"), Num(36526, kStamp), Num(61.25, kStamp), Num(2958465.99999, kStamp),
               Num(2958466, kStamp), Int(-1, kStamp)});
  g.Column(3, {Text("Elapsed"), Num(1.5, kElapsed)});
  g.Column(4, {Text("Amount"), Num(1234, kAccounting), Num(2.25, kRed), Num(45000, kDmy)});
  g.Column(5, {Text("Plain"), Num(45000), Num(1.5, kFixed)});
  // Cell formats 21, 22, 46 and 2 are built in.
  return OneSheet(
      "Dates", g,
      {{164, "YYYY-MM-DD"}, {165, "_-* #,##0\\ _D_M_-"}, {166, "[Red]0.00"}, {167, "dd/mm/yyyy"}},
      {0, 164, 21, 22, 46, 165, 166, 167, 2});
}

xb::XlsbBook Dates1904Book() {
  Grid g;
  g.Column(0, {Text("When"), Int(1, 1), Num(1.25, 1), Num(0, 1),
               Num(45351 - 1462, 1)});  // 2024-02-29 from 1904
  return OneSheet("Dates", g, {{164, "yyyy-mm-dd"}}, {0, 164}, true);
}

xb::XlsbBook TextBook() {
  Grid g;
  g.Column(0, {Text("Name & \"Title\""), g.Shared("café", true), Rich("Grüße, Ζεύς, Москва"),
               g.Shared("日本語"), Text("\U0001F600"), Text("a & b < c > d"),
               Text("say \"hi\" it's"), g.Shared("line1\r\nline2"), Text("tab\there"),
               Text("  padded  "), g.Shared(" "), Text("bell\x07")});
  g.Column(1, {Text("<b>"), Text("x")});
  return OneSheet("Text", g);
}

xb::XlsbBook BooleansBook() {
  Grid g;
  g.Column(0, {Text("Flag"), Flag(true), Flag(false), Flag(true)});
  g.Column(1, {Text("Mixed"), Int(0), Text(" "), Flag(false), Text(""), Text("after")});
  return OneSheet("Flags", g);
}

// Several sheets: "Summary", "Überblick & Co" (the active one), "1", "Notes", then the
// hidden "Hidden" and the very hidden "Secret". Sheet N holds "Sheet", its name and N.
xb::XlsbBook SeveralSheetsBook() {
  xb::XlsbBook book;
  int n = 0;
  for (const char* name : {"Summary", "Überblick & Co", "1", "Notes", "Hidden", "Secret"}) {
    Grid g;
    g.Column(0, {Text("Sheet"), Text(name), Int(++n)});
    book.sheets.push_back({name, g.Data(), "worksheet", "", n == 5 ? 1u : n == 6 ? 2u : 0u});
  }
  book.active = 1;
  return book;
}

xb::XlsbBook FormulasBook() {
  Grid g;
  std::vector<Cell> items;
  for (const char* item : {"Item", "div", "text", "bool", "half", "na", "empty", "after"}) {
    items.push_back(g.Shared(item));
  }
  g.Column(0, items);
  g.Column(1, {g.Shared("Result"), [](Col c) { return xb::FormulaError(c, 0x07); },
               [](Col c) { return xb::FormulaText(c, "ab"); },
               [](Col c) { return xb::FormulaBool(c, false); },
               [](Col c) { return xb::FormulaNumber(c, 3.5); },
               [](Col c) { return xb::FormulaError(c, 0x2A); },
               [](Col c) { return xb::FormulaText(c, ""); },
               [](Col c) { return xb::FormulaNumber(c, 1); }});
  return OneSheet("Sheet1", g);
}

bool Write(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) std::cerr << "make_binary_fixtures: " << path << ": could not be written\n";
  return static_cast<bool>(out);
}

}  // namespace
}  // namespace zerova::test

// Usage: make_binary_fixtures DATA, DATA being tests/data.
int main(int argc, char** argv) {
  using namespace zerova::test;  // NOLINT: the generator's own names
  if (argc != 2) {
    std::cerr << "usage: make_binary_fixtures tests/data\n";
    return 2;
  }
  const std::string data = argv[1];
  const std::pair<std::string, Bytes> files[] = {
      {"biff-unnamed-version/input.xls", UnnamedVersion(false)},
      {"biff-unnamed-version/input-formats.xls", UnnamedVersion(true)},
      {"basic/input-biff2.xls", Basic()},
      {"formulas/input-biff3.xls", Formulas()},
      {"dates-1904/input-biff4.xls", Dates1904()},
      {"booleans/input-biff4w.xls", Booleans()},
      {"basic/input.xlsb", Zip(xb::Parts(BasicBook()))},
      {"numbers/input.xlsb", Zip(xb::Parts(NumbersBook()))},
      {"dates/input.xlsb", Zip(xb::Parts(DatesBook()))},
      {"dates-1904/input.xlsb", Zip(xb::Parts(Dates1904Book()))},
      {"text/input.xlsb", Zip(xb::Parts(TextBook()))},
      {"booleans/input.xlsb", Zip(xb::Parts(BooleansBook()))},
      {"formulas/input.xlsb", Zip(xb::Parts(FormulasBook()))},
      {"several-sheets/input.xlsb", Zip(xb::Parts(SeveralSheetsBook()))},
  };
  bool written = true;
  for (const auto& [path, bytes] : files) written = Write(data + "/" + path, bytes) && written;
  return written ? 0 : 1;
}
