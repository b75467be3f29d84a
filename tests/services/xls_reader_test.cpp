// The .xls reader: what each kind of cell record, string and number format becomes.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "services/error.h"
#include "services/xls_books.h"
#include "support/document.h"

namespace zerova::testing {
namespace {

struct CellCase {
  const char* name;
  Fill cell;  // writes A1 of a BIFF8 sheet (and any record it needs after)
  std::string text;
};

TEST(XlsReaderTest, CellRecordsGiveTheirText) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  using B = BiffBuilder;
  const std::vector<CellCase> cases = {
      {"label", [](B& b) { b.Label(0, 0, "abc"); }, "abc"},
      {"label, 16-bit", [](B& b) { b.Label(0, 0, u"Ωmega"); }, "Ωmega"},
      {"label of spaces", [](B& b) { b.Label(0, 0, "  "); }, "  "},
      {"label of length 0", [](B& b) { b.Label(0, 0, ""); }, ""},
      {"rich-text label", [](B& b) { b.RString(0, 0, "rich", 2); }, "rich"},
      {"number", [](B& b) { b.Number(0, 0, 1.5); }, "1.5"},
      {"zero", [](B& b) { b.Number(0, 0, 0); }, "0"},
      {"negative zero", [](B& b) { b.Number(0, 0, -0.0); }, "0"},
      {"large number", [](B& b) { b.Number(0, 0, 123456789012345678.0); }, "1.23456789012346E+17"},
      {"NaN", [nan](B& b) { b.Number(0, 0, nan); }, "#NUM!"},
      {"infinity", [inf](B& b) { b.Number(0, 0, -inf); }, "#NUM!"},
      {"RK integer", [](B& b) { b.Rk(0, 0, B::RkInt(-7)); }, "-7"},
      {"RK largest integer", [](B& b) { b.Rk(0, 0, B::RkInt(536870911)); }, "536870911"},
      {"RK smallest integer", [](B& b) { b.Rk(0, 0, B::RkInt(-536870912)); }, "-536870912"},
      {"RK integer x100", [](B& b) { b.Rk(0, 0, B::RkInt(1234, true)); }, "12.34"},
      {"RK float", [](B& b) { b.Rk(0, 0, B::RkDouble(-2.5)); }, "-2.5"},
      {"RK float x100", [](B& b) { b.Rk(0, 0, B::RkDouble(150.0, true)); }, "1.5"},
      {"true", [](B& b) { b.BoolErr(0, 0, 1, false); }, "True"},
      {"false", [](B& b) { b.BoolErr(0, 0, 0, false); }, "False"},
      {"#NULL!", [](B& b) { b.BoolErr(0, 0, 0x00, true); }, "#NULL!"},
      {"#DIV/0!", [](B& b) { b.BoolErr(0, 0, 0x07, true); }, "#DIV/0!"},
      {"#VALUE!", [](B& b) { b.BoolErr(0, 0, 0x0F, true); }, "#VALUE!"},
      {"#REF!", [](B& b) { b.BoolErr(0, 0, 0x17, true); }, "#REF!"},
      {"#NAME?", [](B& b) { b.BoolErr(0, 0, 0x1D, true); }, "#NAME?"},
      {"#NUM!", [](B& b) { b.BoolErr(0, 0, 0x24, true); }, "#NUM!"},
      {"#N/A", [](B& b) { b.BoolErr(0, 0, 0x2A, true); }, "#N/A"},
      {"formula number", [](B& b) { b.Formula(0, 0, FormulaCache::Number(3.5)); }, "3.5"},
      {"formula text",
       [](B& b) { b.Formula(0, 0, FormulaCache::Text()).String(u"ab\u00e9\u4e2d"); }, "abé中"},
      {"formula empty text", [](B& b) { b.Formula(0, 0, FormulaCache::Text()).String(u""); }, ""},
      {"formula empty result", [](B& b) { b.Formula(0, 0, FormulaCache::EmptyText()); }, ""},
      {"formula boolean", [](B& b) { b.Formula(0, 0, FormulaCache::Boolean(true)); }, "True"},
      {"formula error", [](B& b) { b.Formula(0, 0, FormulaCache::Error(0x2A)); }, "#N/A"},
      {"blank", [](B& b) { b.Blank(0, 0); }, ""},
      {"blanks", [](B& b) { b.MulBlank(0, 0, 3); }, ""},
      {"no record", [](B& b) { b.Label(1, 1, "elsewhere"); }, ""},
      {"later record wins", [](B& b) { b.Number(0, 0, 1).Label(0, 0, "second"); }, "second"},
      {"later blank wins", [](B& b) { b.Label(0, 0, "first").Blank(0, 0); }, ""},
  };
  for (const CellCase& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      const auto sheet = Read(OneSheet(c.cell));
      EXPECT_EQ(TextAt(*sheet, 0, 0), c.text);
      EXPECT_EQ(sheet->Cell(1, 1).IsEmpty(), c.text.empty());
    } catch (const Error& e) {
      ADD_FAILURE() << "refused: " << e.what();
    }
  }
}

TEST(XlsReaderTest, MulRkFillsARunOfColumns) {
  const auto sheet = Read(OneSheet([](BiffBuilder& b) {
    b.MulRk(2, 1,
            {{0, BiffBuilder::RkInt(1)},
             {0, BiffBuilder::RkDouble(0.5)},
             {0, BiffBuilder::RkInt(-250, true)}});
  }));
  EXPECT_EQ(TextAt(*sheet, 2, 0), "");
  EXPECT_EQ(TextAt(*sheet, 2, 1), "1");
  EXPECT_EQ(TextAt(*sheet, 2, 2), "0.5");
  EXPECT_EQ(TextAt(*sheet, 2, 3), "-2.5");
  EXPECT_EQ(TextAt(*sheet, 2, 4), "");
}

struct TextCase {
  const char* name;
  Biff version;
  int code_page;  // 0: no CODEPAGE record
  std::string stored;
  std::string text;
};

TEST(XlsReaderTest, EightBitTextFollowsTheCodePageInBiff5Only) {
  const std::vector<TextCase> cases = {
      {"Cyrillic", Biff::k5, 1251, "\xCF\xF0\xE8\xE2\xE5\xF2", "Привет"},
      {"Mac Roman", Biff::k5, 10000, "caf\x8E", "café"},
      {"Mac Roman, 32768", Biff::k5, 32768, "\x8E", "é"},
      {"Mac Cyrillic", Biff::k5, 10007, "\x80", "А"},
      {"Mac Central Europe", Biff::k5, 10029, "\x80\x82", "Äā"},
      {"DOS 437", Biff::k5, 437, "\x82", "é"},
      {"Greek", Biff::k5, 1253, "\xE1", "α"},
      {"Shift JIS, a trail byte 0x5C", Biff::k5, 932, "\x83\x5C\x95\x5C", "ソ表"},
      {"Shift JIS, a lone lead byte at the end", Biff::k5, 932, "a\x83", "a\uFFFD"},
      {"GBK", Biff::k5, 936, "\xC4\xE3\xBA\xC3", "你好"},
      {"ASCII", Biff::k5, 367, "a\xE9", "a\uFFFD"},
      {"no CODEPAGE is 1252", Biff::k5, 0, "\x80", "€"},
      {"1200 is 1252", Biff::k5, 1200, "\x80", "€"},
      {"32769 is 1252", Biff::k5, 32769, "\x80", "€"},
      {"21010 is 1252", Biff::k5, 21010, "\x80", "€"},
      {"unknown code page is 1252", Biff::k5, 1999, "\x80", "€"},
      {"unmappable byte", Biff::k5, 1252, "a\x81z", "a\uFFFDz"},
      {"BIFF8 compressed is Latin-1", Biff::k8, 1251, "\xE9t\xE9", "été"},
      {"BIFF8 compressed 0x80", Biff::k8, 1252, "\x80", "\u0080"},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Fill globals = [&c](BiffBuilder& b) {
      if (c.code_page != 0) b.Codepage(static_cast<std::uint16_t>(c.code_page));
      b.Xf(0);
    };
    try {
      const auto sheet = Read(OneSheet(
          [&c](BiffBuilder& b) {
            b.Label(0, 0, c.stored).RString(1, 0, c.stored, 1);
            b.Formula(2, 0, FormulaCache::Text());
            std::u16string units;  // one unit per stored byte
            for (unsigned char byte : c.stored) units += static_cast<char16_t>(byte);
            b.String(units);
          },
          globals, c.version));
      EXPECT_EQ(TextAt(*sheet, 0, 0), c.text) << "LABEL";
      EXPECT_EQ(TextAt(*sheet, 1, 0), c.text) << "RSTRING";
      EXPECT_EQ(TextAt(*sheet, 2, 0), c.text) << "STRING";
    } catch (const Error& e) {
      ADD_FAILURE() << "refused: " << e.what();
    }
  }
}

TEST(XlsReaderTest, BrokenSurrogatesBecomeReplacementCharacters) {
  const auto sheet = Read(OneSheet([](BiffBuilder& b) {
    b.Label(0, 0, u"\U0001F600")
        .Label(1, 0, u"a\xD800z")
        .Label(2, 0, u"\xDC00")
        .Label(3, 0, u"\xD83D");
  }));
  EXPECT_EQ(TextAt(*sheet, 0, 0), "\U0001F600");
  EXPECT_EQ(TextAt(*sheet, 1, 0), "a\uFFFDz");
  EXPECT_EQ(TextAt(*sheet, 2, 0), "\uFFFD");
  EXPECT_EQ(TextAt(*sheet, 3, 0), "\uFFFD");
}

struct SstCase {
  const char* name;
  std::vector<SstString> strings;
  std::vector<SstSplit> splits;
  std::uint32_t count = 0;
};

TEST(XlsReaderTest, SharedStringsSurviveContinueSplitsAndSkipFormatting) {
  const Bytes ext = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  const std::vector<SstCase> cases = {
      {"one record", {{u"alpha"}, {u"βeta"}, {u""}, {u"gamma"}}, {}},
      {"8-bit to 8-bit", {{u"alpha"}, {u"abcdef"}, {u"gamma"}}, {{1, 3, false}}},
      {"8-bit to 16-bit", {{u"alpha"}, {u"abc\u0416\u0417"}, {u"gamma"}}, {{1, 3, true}}},
      {"16-bit to 8-bit", {{u"alpha"}, {u"\u0416bcdef", true}, {u"gamma"}}, {{1, 2, false}}},
      {"twice in a string", {{u"alpha"}, {u"abcdefgh"}, {u"gamma"}}, {{1, 2, true}, {1, 5, false}}},
      {"between strings", {{u"alpha"}, {u"beta"}, {u"gamma"}}, {{1, 0}, {2, 0}}},
      {"rich and phonetic",
       {{u"alpha", false, 2, ext}, {u"beta", true, 0, ext}, {u"gamma", false, 3}},
       {}},
      {"split before runs", {{u"alpha", false, 2, ext}, {u"beta"}, {u"gamma"}}, {{0, 5}, {1, 0}}},
      {"split in rich text",
       {{u"alpha", false, 2, ext}, {u"b\u00e9ta"}, {u"gamma"}},
       {{0, 2, true}}},
      {"count too small", {{u"alpha"}, {u"beta"}, {u"gamma"}}, {}, 1},
  };
  for (const SstCase& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      const auto sheet = Read(OneSheet(
          [&c](BiffBuilder& b) {
            for (std::size_t i = 0; i < c.strings.size(); ++i) {
              b.LabelSst(static_cast<int>(i), 0, static_cast<std::uint32_t>(i));
            }
          },
          nullptr, Biff::k8, [&c](BiffBuilder& b) { b.Sst(c.strings, c.splits, c.count); }));
      for (std::size_t i = 0; i < c.strings.size(); ++i) {
        const std::u16string& s = c.strings[i].text;
        std::string utf8;  // the test strings stay below U+0800
        for (char16_t u : s) {
          if (u < 0x80) {
            utf8 += static_cast<char>(u);
          } else {
            utf8 += static_cast<char>(0xC0 | (u >> 6));
            utf8 += static_cast<char>(0x80 | (u & 0x3F));
          }
        }
        EXPECT_EQ(TextAt(*sheet, static_cast<int>(i), 0), utf8) << "string " << i;
      }
    } catch (const Error& e) {
      ADD_FAILURE() << "refused: " << e.what();
    }
  }
}

}  // namespace
}  // namespace zerova::testing
