// The .xls reader on Excel 2.x-4.x files (BIFF2-4) and bare record streams: what
// the BIFF2-4 fixture copies and the corpus do not reach.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/biff_builder.h"
#include "support/office_book.h"

namespace zerova::test {
namespace {

using B = BiffBuilder;
using Fill = std::function<void(B&)>;

// A bare worksheet file of `version`: BOF, `formats` (by default one General XF),
// the cells, EOF; written by a builder of `records` version (the BOF's by default).
Bytes OldSheet(Biff version, const Fill& cells, const Fill& formats = nullptr,
               Biff records = Biff::k8) {
  B b(records == Biff::k8 ? version : records);
  b.Bof(version, kWorksheetBof);
  formats ? formats(b) : void(b.Xf(0));
  cells(b);
  return b.Eof().BuildBare();
}

// Formats numbered in order: 0 General, 1 "0.00", 2 a date; XF 1 shows the date,
// XF 2 "0.00".
void ThreeFormats(B& b) {
  b.Format(0, "General").Format(0, "0.00").Format(99, "d/m/yy").Xf(0).Xf(2).Xf(1);
}

// A BIFF4 workbook of worksheets S0, S1 (A1 their name), WINDOW1 naming `active`.
Bytes Biff4Workbook(int active, std::uint16_t second = kWorksheetBof) {
  B b(Biff::k4);
  b.Bof(Biff::k4, kBiff4WorkbookBof).Codepage(1252).Window1(active);
  b.Boundsheet("S0").Boundsheet("S1").Eof();
  for (int i = 0; i < 2; ++i) {
    b.Record(0x008F, {0, 0, 0, 0, 2, 'S', static_cast<std::uint8_t>('0' + i)});  // SHEETHDR
    ThreeFormats(b.Bof(Biff::k4, i == 0 ? kWorksheetBof : second));
    b.Label(0, 0, "S" + std::to_string(i)).Number(0, 1, 45000, 1).Eof();
  }
  return b.BuildBare();
}

Bytes WithByte(Bytes bytes, std::size_t at, std::uint8_t value) {
  bytes.at(at) = value;
  return bytes;
}

// `stream` with its first record, a BOF, made BIFF5/8's BOF record of `size` bytes
// that names version 0, as some Excel 2.x-era writers leave it; its type is kept.
Bytes UnnamedBof(const Bytes& stream, std::uint8_t size) {
  const std::size_t length = stream.at(2) | stream.at(3) << 8;
  Bytes out = {0x09, 0x08, size, 0, 0, 0, stream.at(6), stream.at(7)};
  out.resize(4 + size, 0);
  out.insert(out.end(), stream.begin() + 4 + static_cast<std::ptrdiff_t>(length), stream.end());
  return out;
}

// A workbook of `version` whose one sheet holds `text` in A1.
Bytes OneLabel(Biff version, const std::u16string& text) {
  B b(version);
  b.Bof(version).Xf(0).Boundsheet("S").Eof().Bof(version, kWorksheetBof).Label(0, 0, text);
  return b.Eof().BuildBare();
}

TEST(XlsOldVersionsTest, CellsFormatsWorkbooksAndBareStreams) {
  const auto number = [](int xf) { return [xf](B& b) { b.Number(0, 0, 45000, xf); }; };
  const Bytes biff3 = OldSheet(Biff::k3, [](B& b) { b.Label(0, 0, "x"); });
  const std::string not_ours = std::string("refused: ") + kNotOurs;
  Check({
      {"BIFF3 records in a BIFF2 file",
       OldSheet(
           Biff::k2, [](B& b) { b.Rk(0, 0, B::RkInt(7)).Label(0, 1, "b"); }, nullptr, Biff::k3),
       "A1=7|B1=b"},
      {"BIFF2 INTEGER cut short", OldSheet(Biff::k2, [](B& b) { b.Record(0x0002, Bytes(8, 0)); }),
       "damaged: a record is cut short (truncated record 0x0002 (INTEGER) at offset "},
      {"BIFF2: the XF's format, not the cell's own", OldSheet(Biff::k2, number(2), ThreeFormats),
       "A1=45000"},
      {"BIFF2 without XF records: the cell's own format",
       OldSheet(Biff::k2, number(2),
                [](B& b) { b.Format(0, "General").Format(0, "0.00").Format(0, "d/m/y"); }),
       "A1=2023-03-15"},
      {"BIFF4 workbook: the active tab", Biff4Workbook(1), "A1=S1|B1=2023-03-15"},
      {"BIFF4 workbook: active chart", Biff4Workbook(1, kChartBof),
       "refused: the sheet \"S1\" is a chart, not a worksheet"},
      {"BIFF4 with FILEPASS: Excel 2.x-4.x encryption is not read",
       OldSheet(
           Biff::k4, [](B&) {},
           [](B& b) {
             b.Record(0x002F, {0x4A, 0x51, 0x12, 0x34}).Xf(0);
           }),
       "refused: book.xls: the workbook is encrypted with a method this program does not read"},
      {"bare stream, BOF of 21 bytes", WithByte(biff3, 2, 21), not_ours},
      {"bare BIFF5 worksheet without globals",
       B(Biff::k5).Bof(Biff::k5, kWorksheetBof).Eof().BuildBare(),
       "damaged: the workbook does not begin as an Excel workbook does (the first BOF record "
       "opens no workbook globals)"},
  });
}

// A BOF of BIFF5's and BIFF8's id that names no version: its size tells BIFF8 (16
// bytes) and BIFF5 (8); a shorter one is Excel 2.x-4.x's, whose records tell which,
// and whose cells are read in BIFF2's records as well as the later versions'.
TEST(XlsOldVersionsTest, AnUnnamedVersionIsToldByTheBofAndTheRecordsAfterIt) {
  const auto cells = [](B& b) {
    b.Record(0x0002, {0, 0, 0, 0, 0, 0, 0, 7, 0}).Label(0, 1, "b");  // BIFF2's INTEGER, then LABEL
  };
  Check({
      {"BIFF8 by its 16 bytes", UnnamedBof(OneLabel(Biff::k8, u"Жx"), 16), "A1=Жx"},
      {"BIFF5 by its 8 bytes", UnnamedBof(OneLabel(Biff::k5, u"x"), 8), "A1=x"},
      // biff-unnamed-version/input*.xls show BIFF2's cells after no XF record and after BIFF4's.
      {"6 bytes, then BIFF3's XF: BIFF3's formats, and BIFF2's cells still read",
       UnnamedBof(OldSheet(Biff::k3, cells), 6), "A1=7|B1=b"},
      {"6 bytes, then a BIFF4 workbook's globals", UnnamedBof(Biff4Workbook(1), 6),
       "A1=S1|B1=2023-03-15"},
      {"6 bytes, then a record longer than the stream: looked past without reading past",
       Bytes{0x09, 0x08, 6, 0, 0, 0, 0x10, 0, 0, 0, 0x7F, 0, 0xF0, 0xFF, 2, 0}, "damaged: "},
  });
}

}  // namespace
}  // namespace zerova::test
