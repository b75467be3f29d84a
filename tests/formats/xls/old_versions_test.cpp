// The .xls reader on Excel 2.x-4.x files (BIFF2-4) and on bare record streams:
// each version's cell records and formats, BIFF4 workbooks, and how a bare stream
// is told from other files. BIFF5/8 records are in reader_test.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/biff_builder.h"
#include "support/office_book.h"

namespace zerova::testing {
namespace {

using B = BiffBuilder;
using F = FormulaCache;
using Fill = std::function<void(B&)>;

// A worksheet file of `version`: BOF, `formats` (by default one General XF), the
// cells, EOF. Written by a builder of `records` version, the version of the BOF
// unless given; bare unless `ole2`.
Bytes OldSheet(Biff version, const Fill& cells, const Fill& formats = nullptr, bool ole2 = false,
               Biff records = Biff::k8) {
  B b(records == Biff::k8 ? version : records);
  b.Bof(version, kWorksheetBof);
  formats ? formats(b) : void(b.Xf(0));
  cells(b);
  b.Eof();
  return ole2 ? b.Build() : b.BuildBare();
}

// The same cells in every version; `integer` writes the 7 in D1.
Fill Cells(const std::function<void(B&)>& integer) {
  return [integer](B& b) {
    b.Codepage(1252).Label(0, 0, "abc").Label(0, 1, "caf\xE9").Number(0, 2, 1.5);
    integer(b);
    b.BoolErr(0, 4, 1, false).BoolErr(0, 5, 0x07, true);
    b.Formula(1, 0, F::Number(3.5)).Formula(1, 1, F::Text()).String(u"ab");
    b.Formula(1, 2, F::Boolean(true)).Formula(1, 3, F::Error(0x2A));
    b.Formula(1, 4, F::EmptyText()).Blank(1, 5).Label(2, 0, "x");
  };
}

TEST(XlsOldVersionsTest, CellRecordsOfEachVersionGiveTheirText) {
  const Fill rk = [](B& b) { b.Rk(0, 3, B::RkInt(7)); };
  const Fill biff2 = Cells([](B& b) { b.Integer(0, 3, 7); });
  const Fill later = Cells(rk);
  const Fill codepage_first = [](B& b) { b.Codepage(1252).Xf(0); };
  const std::string all =
      "A1=abc|B1=café|C1=1.5|D1=7|E1=True|F1=#DIV/0!|A2=3.5|B2=ab|C2=True|D2=#N/A|A3=x";
  Check({
      {"BIFF2", OldSheet(Biff::k2, biff2), all},
      {"BIFF3", OldSheet(Biff::k3, later), all},
      {"BIFF4", OldSheet(Biff::k4, later), all},
      {"BIFF4 in an OLE2 file", OldSheet(Biff::k4, later, nullptr, true), all},
      {"BIFF3 records in a BIFF2 file", OldSheet(Biff::k2, later, nullptr, false, Biff::k3), all},
      {"formats before the code page", OldSheet(Biff::k3, later, codepage_first), all},
      {"no cells", OldSheet(Biff::k3, [](B&) {}), ""},
      {"BIFF2 LABEL longer than its record",
       OldSheet(Biff::k2, [](B& b) { b.Label(0, 0, "ab").CorruptByte(-3, 9); }),
       "refused: truncated record 0x0004 (LABEL)"},
      {"BIFF2 INTEGER cut short",
       OldSheet(Biff::k2,
                [](B& b) {
                  b.Record(0x0002, {0, 0, 0, 0, 0, 0, 0, 7});
                }),
       "refused: truncated record 0x0002 (INTEGER)"},
  });
}

// Formats numbered in order: 0 General, 1 "0.00", 2 a date; XF 0 shows format 0,
// XF 1 the date, XF 2 "0.00". Each cell holds 45000, 2023-03-15 as a date.
void ThreeFormats(B& b) {
  b.Format(0, "General").Format(0, "0.00").Format(99, "d/m/yy").Xf(0).Xf(2).Xf(1);
}

TEST(XlsOldVersionsTest, CellFormatsDecideWhetherANumberIsAMoment) {
  const auto number = [](int xf) { return [xf](B& b) { b.Number(0, 0, 45000, xf); }; };
  const Fill formats_only = [](B& b) {
    b.Format(0, "General").Format(0, "0.00").Format(0, "d/m/y");
  };
  const Fill sixty_five_xfs = [](B& b) {
    ThreeFormats(b);
    for (int xf = 3; xf < 65; ++xf) b.Xf(xf == 64 ? 2 : 0);
  };
  const Fill ixfe = [](B& b) { b.Ixfe(64).Number(0, 0, 45000, 64).Number(0, 1, 45000, 63); };
  const Fill ixfe_label = [](B& b) { b.Ixfe(64).Label(0, 0, "a", 63).Number(0, 1, 45000, 63); };
  const Fill no_xfs_biff3 = [](B& b) { b.Format(0, "d/m/y").Rk(0, 0, B::RkInt(45000), 9); };
  const Fill shift_jis = [](B& b) {  // 0x83 0x5C is one character, not an escape
    b.Codepage(932).Format(0, "General").Format(0, "\x83\x5C\"d\"0").Xf(0).Xf(1);
  };
  Check({
      {"BIFF2 XF 1: the XF's format, not the cell's own",
       OldSheet(Biff::k2, number(1), ThreeFormats), "A1=2023-03-15"},
      {"BIFF2 XF 2", OldSheet(Biff::k2, number(2), ThreeFormats), "A1=45000"},
      {"BIFF2 without XF records: the cell's own format",
       OldSheet(Biff::k2, number(2), formats_only), "A1=2023-03-15"},
      {"BIFF2 XF 63 is the IXFE's", OldSheet(Biff::k2, ixfe, sixty_five_xfs),
       "A1=2023-03-15|B1=2023-03-15"},
      {"BIFF2 IXFE also for later records",
       OldSheet(Biff::k2, ixfe_label, sixty_five_xfs, false, Biff::k3), "A1=a|B1=2023-03-15"},
      {"BIFF3", OldSheet(Biff::k3, number(1), ThreeFormats), "A1=2023-03-15"},
      {"BIFF3 without XF records", OldSheet(Biff::k3, no_xfs_biff3, [](B&) {}), "A1=45000"},
      {"BIFF4 ignores the id", OldSheet(Biff::k4, number(1), ThreeFormats), "A1=2023-03-15"},
      {"BIFF4 Shift JIS", OldSheet(Biff::k4, number(1), shift_jis), "A1=45000"},
      {"BIFF3 XF past the XFs", OldSheet(Biff::k3, number(3), ThreeFormats),
       "refused: cell XF index 3 out of range (3 XF records)"},
  });
}

// A BIFF4 workbook: globals naming the sheets (`types`: their BOF types), then each
// sheet with its own formats and A1 holding its name.
Bytes Biff4Workbook(const std::vector<std::uint16_t>& types, const Fill& globals = nullptr) {
  B b(Biff::k4);
  b.Bof(Biff::k4, kBiff4WorkbookBof).Codepage(1252);
  if (globals) globals(b);
  for (std::size_t i = 0; i < types.size(); ++i) b.Boundsheet("S" + std::to_string(i));
  b.Eof();
  for (std::size_t i = 0; i < types.size(); ++i) {
    b.Record(0x008F, {0, 0, 0, 0, 2, 'S', static_cast<std::uint8_t>('0' + i)});  // SHEETHDR
    ThreeFormats(b.Bof(Biff::k4, types[i]));
    b.Label(0, 0, "S" + std::to_string(i)).Number(0, 1, 45000, 1).Eof();
  }
  return b.BuildBare();
}

TEST(XlsOldVersionsTest, Biff4WorkbooksReadTheirActiveSheet) {
  const std::uint16_t w = kWorksheetBof;
  const auto tab = [](int active) { return [active](B& b) { b.Window1(active); }; };
  const auto file = [](Biff version, std::uint16_t type) {
    return B(version).Bof(version, type).Xf(0).Label(0, 0, "x").Eof().BuildBare();
  };
  Check({
      {"the active tab of a long WINDOW1", Biff4Workbook({w, w}, tab(1)), "A1=S1|B1=2023-03-15"},
      {"tab out of range", Biff4Workbook({w, w}, tab(5)), "A1=S0|B1=2023-03-15"},
      {"active chart", Biff4Workbook({w, kChartBof}, tab(1)),
       "refused: the active sheet \"S1\" is a chart, not a worksheet"},
      {"active macro sheet", Biff4Workbook({kMacroBof, w}),
       "refused: the active sheet \"S0\" is a macro sheet, not a worksheet"},
      {"a BIFF3 chart file", file(Biff::k3, kChartBof),
       "refused: the active sheet \"book\" is a chart, not a worksheet"},
      {"a BIFF2 macro sheet file", file(Biff::k2, kMacroBof),
       "refused: the active sheet \"book\" is a macro sheet, not a worksheet"},
      {"a BIFF4 workbook without sheets",
       B(Biff::k4).Bof(Biff::k4, kBiff4WorkbookBof).Eof().BuildBare(),
       "refused: workbook has no sheets"},
  });
}

// A bare stream is told by its first record, a BOF that fits; anything else is not ours.
TEST(XlsOldVersionsTest, BareStreamsAreToldByTheirFirstRecord) {
  const auto book = [](Biff version) {
    B b(version);
    b.Bof(version).Xf(0).Boundsheet("S").Eof().Bof(version, kWorksheetBof);
    return b.Label(0, 0, "caf\xE9").Eof().BuildBare();
  };
  const auto with_byte = [](Bytes bytes, std::size_t at, std::uint8_t value) {
    bytes.at(at) = value;
    return bytes;
  };
  const Bytes biff3 = OldSheet(Biff::k3, [](B& b) { b.Label(0, 0, "x"); });
  const std::string not_ours = std::string("refused: ") + kNotOurs;
  Check({
      {"BIFF8 workbook", book(Biff::k8), "A1=café"},
      {"BIFF5 workbook", book(Biff::k5), "A1=café"},
      {"BIFF3 worksheet", biff3, "A1=x"},
      {"BOF of 3 bytes", with_byte(biff3, 2, 3), not_ours},
      {"BOF of 21 bytes", with_byte(biff3, 2, 21), not_ours},
      {"BOF longer than the file",
       with_byte(B(Biff::k2).Bof(Biff::k2, kWorksheetBof).BuildBare(), 2, 6), not_ours},
      {"unknown substream type", with_byte(biff3, 6, 0x30), not_ours},
      {"not a BOF", with_byte(biff3, 1, 0x03), not_ours},
      {"BIFF5 worksheet without globals",
       B(Biff::k5).Bof(Biff::k5, kWorksheetBof).Eof().BuildBare(),
       "refused: not an Excel workbook: the workbook stream does not begin with workbook globals"},
  });
}

}  // namespace
}  // namespace zerova::testing
