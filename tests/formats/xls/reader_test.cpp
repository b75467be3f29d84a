// The .xls reader: what each cell record, code page, shared string and number
// format becomes, which sheet it reads, and the damaged files it refuses. Whole
// documents from real files are in fixtures_test; cell text itself in cell_text_test.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "conversion/cell_text.h"
#include "formats/xls/reader.h"
#include "services/error.h"
#include "services/spreadsheet.h"
#include "support/biff_builder.h"
#include "support/document.h"
#include "support/office_book.h"

namespace zerova::testing {
namespace {

using B = BiffBuilder;
using Fill = std::function<void(B&)>;

// A workbook of one worksheet: BOF, `globals` (by default one General XF), the
// BOUNDSHEET, `after_sheets` (where the SST goes), EOF; then the sheet holding `cells`.
Bytes OneSheet(const Fill& cells, const Fill& globals = nullptr, Biff version = Biff::k8,
               const Fill& after_sheets = nullptr) {
  B b(version);
  b.Bof(version);
  globals ? globals(b) : void(b.Xf(0));
  b.Boundsheet("Sheet1");
  if (after_sheets) after_sheets(b);
  b.Eof().Bof(version, kWorksheetBof);
  cells(b);
  return b.Eof().Build();
}

// Row 1's first `columns` cells joined by '|', or "refused: " and the message.
std::string Row(const Bytes& bytes, int columns = 1) {
  try {
    const auto sheet = ReadWorkbookBytes(bytes, "book.xls");
    std::string row = CellText(sheet->Cell(1, 1));
    for (int c = 2; c <= columns; ++c) row += "|" + CellText(sheet->Cell(1, c));
    return row;
  } catch (const ReadError& e) {
    return std::string("refused: ") + e.what();
  }
}

bool RefusedNamingTheFile(const std::string& row) {
  return row.rfind("refused: book.xls: ", 0) == 0;
}

TEST(XlsReaderTest, CellRecordsGiveTheirText) {
  using F = FormulaCache;
  const Bytes book = OneSheet([](B& b) {
    b.Label(0, 0, "abc").Label(0, 1, u"Ωmega").Label(0, 2, "").RString(0, 3, "ri", 2);
    b.Label(0, 4, u"\U0001F600a\xD800z\xDC00").Label(0, 5, u"\xD83D");  // broken surrogates
    b.Number(1, 0, 1.5).Number(1, 1, std::numeric_limits<double>::quiet_NaN());
    b.Rk(1, 2, B::RkInt(-7)).Rk(1, 3, B::RkInt(536870911)).Rk(1, 4, B::RkInt(-536870912));
    b.Rk(1, 5, B::RkInt(1234, true)).Rk(1, 6, B::RkDouble(-2.5)).Rk(1, 7, B::RkDouble(150, true));
    b.MulRk(2, 1, {{0, B::RkInt(1)}, {0, B::RkDouble(0.5)}, {0, B::RkInt(-250, true)}});
    b.Blank(2, 5).MulBlank(2, 6, 8).Label(2, 9, "x");
    int col = 0;
    for (int value : {1, 0}) b.BoolErr(3, col++, value, false);
    for (int code : {0x00, 0x07, 0x0F, 0x17, 0x1D, 0x24, 0x2A}) b.BoolErr(3, col++, code, true);
    b.Formula(4, 0, F::Number(3.5)).Formula(4, 1, F::Text()).String(u"ab\u00e9\u4e2d");
    b.Formula(4, 2, F::Text()).String(u"").Formula(4, 3, F::EmptyText());
    b.Formula(4, 4, F::Boolean(true)).Formula(4, 5, F::Error(0x2A));
    b.Number(5, 0, 1).Label(5, 0, "second").Label(5, 1, "first").Blank(5, 1);  // later ones win
  });
  EXPECT_EQ(Outcome(book),
            "A1=abc|B1=Ωmega|D1=ri|E1=\U0001F600a\uFFFDz\uFFFD|F1=\uFFFD|"
            "A2=1.5|B2=#NUM!|C2=-7|D2=536870911|E2=-536870912|F2=12.34|G2=-2.5|H2=1.5|"
            "B3=1|C3=0.5|D3=-2.5|J3=x|"
            "A4=True|B4=False|C4=#NULL!|D4=#DIV/0!|E4=#VALUE!|F4=#REF!|G4=#NAME?|H4=#NUM!|I4=#N/A|"
            "A5=3.5|B5=abé中|E5=True|F5=#N/A|A6=second");
}

// Each row's bytes go into a LABEL, an RSTRING and a formula's STRING.
TEST(XlsReaderTest, EightBitTextFollowsTheCodePageInBiff5Only) {
  const struct {
    const char* name;
    Biff version;
    int code_page;  // 0: no CODEPAGE record
    std::string stored, text;
  } cases[] = {
      {"Cyrillic", Biff::k5, 1251, "\xCF\xF0\xE8\xE2\xE5\xF2", "Привет"},
      {"Mac Roman", Biff::k5, 10000, "caf\x8E", "café"},
      {"Mac Cyrillic", Biff::k5, 10007, "\x80", "А"},
      {"Mac Central Europe", Biff::k5, 10029, "\x80\x82", "Äā"},
      {"Shift JIS, a trail byte 0x5C", Biff::k5, 932, "\x83\x5C\x95\x5C", "ソ表"},
      {"Shift JIS, a lone lead byte at the end", Biff::k5, 932, "a\x83", "a\uFFFD"},
      {"ASCII", Biff::k5, 367, "a\xE9", "a\uFFFD"},
      {"no CODEPAGE is 1252", Biff::k5, 0, "\x80", "€"},
      {"1200 is 1252", Biff::k5, 1200, "\x80", "€"},
      {"32769 is 1252", Biff::k5, 32769, "\x80", "€"},
      {"unknown code page is 1252", Biff::k5, 1999, "\x80", "€"},
      {"BIFF8 compressed is Latin-1", Biff::k8, 1251, "\xE9t\x80", "ét\u0080"},
  };
  for (const auto& c : cases) {
    const Fill globals = [&c](B& b) {
      if (c.code_page != 0) b.Codepage(c.code_page);
      b.Xf(0);
    };
    const Fill cells = [&c](B& b) {
      b.Label(0, 0, c.stored).RString(0, 1, c.stored, 1).Formula(0, 2, FormulaCache::Text());
      const auto* bytes = reinterpret_cast<const unsigned char*>(c.stored.data());
      b.String(std::u16string(bytes, bytes + c.stored.size()));  // one unit per byte
    };
    EXPECT_EQ(Row(OneSheet(cells, globals, c.version), 3), c.text + "|" + c.text + "|" + c.text)
        << c.name;
  }
}

TEST(XlsReaderTest, SharedStringsSurviveContinueSplitsAndSkipFormatting) {
  const Bytes ext = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  const struct {
    const char* name;
    std::vector<SstString> strings;
    std::vector<SstSplit> splits;
    std::string row;
    std::uint32_t count = 0;  // the SST's counts, only a hint; 0: the number of strings
  } cases[] = {
      {"8-bit to 8-bit", {{u"ab"}, {u"abcdef"}}, {{1, 3, false}}, "ab|abcdef"},
      {"8-bit to 16-bit", {{u"ab"}, {u"abcЖЗ"}}, {{1, 3, true}}, "ab|abcЖЗ"},
      {"16-bit to 8-bit", {{u"ab"}, {u"Жbcdef", true}}, {{1, 2, false}}, "ab|Жbcdef"},
      {"twice in one", {{u"abcdefg"}, {u"h"}}, {{0, 2, true}, {0, 5, false}}, "abcdefg|h"},
      {"between strings", {{u"ab"}, {u"cd"}, {u"e"}}, {{1, 0}, {2, 0}}, "ab|cd|e"},
      {"rich", {{u"a", false, 2, ext}, {u"b", true, 0, ext}, {u"c", false, 3}}, {}, "a|b|c"},
      {"split before runs", {{u"abc", false, 2, ext}, {u"d"}}, {{0, 3}, {1, 0}}, "abc|d"},
      {"split in rich text", {{u"abc", false, 2, ext}, {u"dé"}}, {{0, 2, true}}, "abc|dé"},
      {"count too small", {{u"ab"}, {u"cd"}, {u"e"}}, {}, "ab|cd|e", 1},
      {"absurd count", {{u"a"}, {u"b"}}, {}, "a|b", 0xFFFFFFFF},
  };
  for (const auto& c : cases) {
    const Fill cells = [&c](B& b) {
      for (std::size_t i = 0; i < c.strings.size(); ++i) b.LabelSst(0, i, i);
    };
    const Fill sst = [&c](B& b) { b.Sst(c.strings, c.splits, c.count); };
    EXPECT_EQ(Row(OneSheet(cells, nullptr, Biff::k8, sst), c.strings.size()), c.row) << c.name;
  }
}

// A number is a moment when its XF's format is a date format: the workbook's
// own FORMAT for that id, else the built-in one. NUMBER, FORMULA, RK and MULRK
// (beside a General cell) each look.
TEST(XlsReaderTest, FormatsDecideWhetherANumberIsAMoment) {
  const struct {
    std::vector<std::pair<int, std::string>> formats;  // FORMAT records the workbook defines
    int format_id;                                     // XF 1's format
    int serial;
    std::string text;
    Biff version = Biff::k8;
    int code_page = 0;
  } cases[] = {
      {{}, 200, 45000, "45000"},  // neither built in nor defined
      {{{14, "0.00"}}, 14, 45000, "45000"},
      // BIFF5 codes are text in the code page: in Shift JIS 0x83 0x5C is one
      // character, not a backslash escaping the quote after it.
      {{{164, "\x83\x5C\"d\"0"}}, 164, 45000, "45000", Biff::k5, 932},
      {{{164, "\x83\x5C\"\"d"}}, 164, 45000, "2023-03-15", Biff::k5, 932},
  };
  for (const auto& c : cases) {
    const Fill globals = [&c](B& b) {
      if (c.code_page != 0) b.Codepage(c.code_page);
      for (const auto& [id, code] : c.formats) b.Format(id, code);
      b.Xf(0).Xf(c.format_id);
    };
    const Fill cells = [&c](B& b) {
      b.Number(0, 0, c.serial, 1).Formula(0, 1, FormulaCache::Number(c.serial), 1);
      const std::uint32_t rk = B::RkInt(c.serial);
      b.Rk(0, 2, rk, 1).MulRk(0, 3, {{1, rk}, {0, rk}});
    };
    const std::string t = c.text + "|";
    EXPECT_EQ(Row(OneSheet(cells, globals, c.version), 5), t + t + t + t + std::to_string(c.serial))
        << "format " << c.format_id << " serial " << c.serial;
  }
}

// Text outside the cells' own records, cut short by damage, is read as far as it
// is stored: a FORMAT code whose count and flags are garbage, a formula's STRING
// whose CONTINUE holds fewer characters than announced.
TEST(XlsReaderTest, DamagedFormatCodesAndFormulaStringsGiveWhatTheyHold) {
  const struct {
    const char* name;
    Biff version;
    Fill globals, cells;
    std::string row;
  } cases[] = {
      {"FORMAT count and flags", Biff::k8,
       [](B& b) {
         b.Format(164, "yyyy").CorruptByte(-7, 0xFF).CorruptByte(-5, 0xFC).Xf(0).Xf(164);
       },
       [](B& b) { b.Number(0, 0, 45000, 1); }, "2023-03-15"},
      {"BIFF5 FORMAT count", Biff::k5,
       [](B& b) { b.Format(164, "yyyy").CorruptByte(-5, 200).Xf(0).Xf(164); },
       [](B& b) { b.Number(0, 0, 45000, 1); }, "2023-03-15"},
      {"STRING and its CONTINUE", Biff::k8, nullptr,
       [](B& b) {
         b.Formula(0, 0, FormulaCache::Text()).Record(0x0207, {6, 0, 0, 'a', 'b'});
         b.Record(0x003C, {0, 'c'});
       },
       "abc"},
      {"BIFF5 STRING", Biff::k5, nullptr,
       [](B& b) {
         b.Formula(0, 0, FormulaCache::Text()).Record(0x0207, {9, 0, 'a', 'b'});
       },
       "ab"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Row(OneSheet(c.cells, c.globals, c.version)), c.row) << c.name;
  }
}

// Sheets with A1 holding their name; `types` are BOUNDSHEET types, or kDialog: a
// worksheet marked by its WSBOOL record as a dialog sheet. `tabs` are the WINDOW1
// records' active tabs.
constexpr std::uint8_t kDialog = 0xFF, kVbModule = 6;
Bytes Sheets(const std::vector<std::uint8_t>& types, const std::vector<int>& tabs) {
  B b;
  b.Bof(Biff::k8);
  for (int tab : tabs) b.Window1(tab);
  b.Xf(0);
  for (std::size_t i = 0; i < types.size(); ++i) {
    b.Boundsheet("S" + std::to_string(i), types[i] == kDialog ? kWorksheetType : types[i]);
  }
  b.Eof();
  for (std::size_t i = 0; i < types.size(); ++i) {
    const std::uint8_t t = types[i];
    b.Bof(Biff::k8, t == kChartType ? kChartBof : t == kMacroType ? kMacroBof : kWorksheetBof);
    if (t == kDialog) b.Record(0x0081, {0x10, 0x04});  // WSBOOL with fDialog
    b.Label(0, 0, "S" + std::to_string(i)).Eof();
  }
  return b.Build();
}

TEST(XlsWorkbookTest, ReadsTheActiveSheet) {
  const std::uint8_t w = kWorksheetType, chart = kChartType;
  const struct {
    const char* name;
    std::vector<std::uint8_t> types;
    std::vector<int> tabs;
    std::string a1;  // "" when the workbook must be refused
  } cases[] = {
      {"no WINDOW1", {w, w}, {}, "S0"},
      {"index out of range", {w, w}, {2}, "S0"},
      {"index far out of range", {w, w}, {0xFFFF}, "S0"},
      {"first WINDOW1 counts", {w, w}, {1, 0}, "S1"},
      {"hidden chart before it", {chart, w}, {1}, "S1"},
      {"active chart", {w, chart}, {1}, ""},
      {"active macro sheet", {w, kMacroType}, {1}, ""},
      {"active VB module", {w, kVbModule}, {1}, ""},
      {"active dialog sheet", {w, kDialog}, {1}, ""},
      {"chart first, no WINDOW1", {chart, w}, {}, ""},
      {"chart first, index out of range", {chart, w}, {7}, ""},
  };
  for (const auto& c : cases) {
    const std::string a1 = Row(Sheets(c.types, c.tabs));
    EXPECT_TRUE(c.a1.empty() ? RefusedNamingTheFile(a1) : a1 == c.a1) << c.name << ": " << a1;
  }
}

TEST(XlsWorkbookTest, FindsTheWorkbookStreamByNameAndTheVersionByItsBof) {
  for (const auto& [stream, version] : {std::pair{"workbook", Biff::k8}, {"BOOK", Biff::k5}}) {
    B b(version);
    b.StreamName(stream).Bof(version).Xf(0).Boundsheet("S").Eof().Bof(version, kWorksheetBof);
    EXPECT_EQ(Row(b.Label(0, 0, "caf\xE9").Eof().Build()), "café") << stream;
  }
}

// A BIFF8 sheet with A1 "x", then `damage`, then its EOF.
Bytes Damaged(const Fill& damage) {
  return OneSheet([&damage](B& b) { damage(b.Label(0, 0, "x")); });
}

// Damaged or unsupported workbooks are refused with a message naming the file;
// damage a careful reader may work around (`may_read`) may instead give A1 "x".
TEST(XlsWorkbookTest, DamageIsRefusedNamingTheFile) {
  const std::ptrdiff_t offset_field = 4 + 16 + 4 + 20 + 4;  // BOF, XF, then BOUNDSHEET's offset
  const Fill file_pass = [](B& b) { b.FilePass().Xf(0); };
  const Fill label = [](B& b) { b.Label(0, 0, "x"); };
  const Fill label_sst = [](B& b) { b.LabelSst(0, 0, 0); };
  const Bytes truncated_sst = {1, 0, 0, 0, 1, 0, 0, 0, 200, 0, 0, 'a', 'b', 'c'};
  const std::vector<SstString> two = {{u"a"}, {u"b"}};
  const std::vector<std::pair<int, std::uint32_t>> one_rk(1);
  B truncated;  // a NUMBER cut short by the end of the stream
  truncated.Bof(Biff::k8).Xf(0).Boundsheet("S").Eof().Bof(Biff::k8, kWorksheetBof).Number(0, 0, 1);
  const struct {
    const char* name;
    Bytes bytes;
    bool may_read = false;
  } cases[] = {
      {"NoWorkbookStream", B().StreamName("Data").Bof(Biff::k8).Eof().Build()},
      {"EmptyWorkbookStream", B().StreamName("Workbook").Build()},
      {"StreamNotStartingWithBof", B().StreamName("Workbook").Xf(0).Eof().Build()},
      {"FilePass", OneSheet(label, file_pass)},
      {"Biff5FilePass", OneSheet(label, file_pass, Biff::k5)},
      {"NoBoundsheet", B().Bof(Biff::k8).Xf(0).Eof().Bof(Biff::k8, kWorksheetBof).Eof().Build()},
      {"TruncatedRecord", truncated.DropLast(3).Build()},
      {"RecordLengthPastEnd: the LABEL claims 32 KiB",
       OneSheet([](B& b) { b.Label(0, 0, "x").CorruptByte(-11, 0x7F); })},
      {"TruncatedSstDoesNotReadPastEnd: 200 characters claimed, 3 there, no CONTINUE",
       OneSheet(label_sst, nullptr, Biff::k8, [&](B& b) { b.Record(0x00FC, truncated_sst); })},
      {"SstIndexPastTheStrings", OneSheet([](B& b) { b.LabelSst(0, 0, 2); }, nullptr, Biff::k8,
                                          [&](B& b) { b.Sst(two, {}, 1000); })},
      {"LabelSstWithoutSst", OneSheet(label_sst)},
      {"XfIndexPastTheXfs", OneSheet([](B& b) { b.Number(0, 0, 1, 5); })},
      {"ErrorCodeOutsideTheSeven", OneSheet([](B& b) { b.BoolErr(0, 0, 0x08, true); })},
      {"FormulaErrorCodeOutsideTheSeven",
       OneSheet([](B& b) { b.Formula(0, 0, FormulaCache::Error(0x30)); })},
      {"BOUNDSHEET offset past the end",
       Damaged([&](B& b) { b.CorruptByte(offset_field + 2, 0x40); }), true},
      {"BOUNDSHEET offset into the globals", Damaged([&](B& b) { b.CorruptByte(offset_field, 4); }),
       true},
      {"LABEL longer than it holds", Damaged([](B& b) { b.Label(1, 0, "ab").CorruptByte(-4, 9); }),
       true},
      {"MULRK ends before it starts",
       Damaged([&](B& b) { b.MulRk(1, 3, one_rk).CorruptByte(-2, 0); }), true},
      {"MULBLANK ends before it starts",
       Damaged([](B& b) { b.MulBlank(1, 3, 4).CorruptByte(-2, 0); }), true},
      {"STRING without a FORMULA", Damaged([](B& b) { b.String(u"stray"); }), true},
      {"CONTINUE without a record", Damaged([](B& b) { b.Record(0x003C, Bytes(3, 1)); }), true},
      {"row and column at their limits",
       Damaged([](B& b) { b.Number(0xFFFF, 0xFF, 1).Number(0xFFFF, 0xFFFF, 2); }), true},
  };
  for (const auto& c : cases) {
    const std::string a1 = Row(c.bytes);
    EXPECT_TRUE(RefusedNamingTheFile(a1) || (c.may_read && a1 == "x")) << c.name << ": " << a1;
  }
}

// The caller's bytes are let go only once the reader holds a copy of the workbook
// stream, and never read after: the test wipes them as it lets them go.
TEST(XlsWorkbookTest, TheFileIsLetGoOnlyOnceItsStreamIsCopied) {
  B book(Biff::k8);
  book.Bof(Biff::k8).Xf(0).Boundsheet("Sheet1").Eof().Bof(Biff::k8, kWorksheetBof);
  for (int row = 0; row < 1000; ++row) book.Number(row, 0, row + 0.5);
  book.Eof();
  const std::string sheet = DocumentOf(ReadXls(book.BuildBare(), "book.xls"));
  const std::string encrypted_folder = std::string(ZEROVA_TEST_DATA) + "/encrypted-xls-default/";
  const struct {
    const char* name;
    Bytes file;
    bool let_go;
    std::string document;
  } cases[] = {
      {"bare stream", book.BuildBare(), false, sheet},
      {"stream in order", book.Build(), false, sheet},
      {"stream in pieces", book.BuildInterleaved(), true, sheet},
      {"encrypted, decrypted in a copy", ReadFileBytes(encrypted_folder + "input.xls"), true,
       [&] {
         const Bytes expected = ReadFileBytes(encrypted_folder + "expected.xml");
         return std::string(expected.begin(), expected.end());
       }()},
  };
  for (const auto& c : cases) {
    Bytes file = c.file;
    int let_go = 0;
    const std::string document = DocumentOf(ReadXls(file, "book.xls", nullptr, [&] {
      ++let_go;
      std::fill(file.begin(), file.end(), 0);
    }));
    EXPECT_EQ(let_go, c.let_go ? 1 : 0) << c.name;
    EXPECT_EQ(document, c.document) << c.name;
  }
}

}  // namespace
}  // namespace zerova::testing
