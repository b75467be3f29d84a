// Which number formats make a number a date or time: format codes by their
// letters, and every built-in format id by the list ECMA-376 Part 1, 18.8.30
// (numFmt) gives, with [MS-XLS] 2.4.126 for the ids .xls files use the same way.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "formats/numbers/number_format.h"

namespace zerova {
namespace {

TEST(NumberFormat, JudgesFormatCodesByTheirDateLetters) {
  // Quoted text, locale tags, spacers, escapes and the fill character hide their
  // letters; elapsed hours count, in either case.
  for (const char* code : {"#,##0.00_);[Red](#,##0.00)", "\"day\" 0", "[$-409]0.00", "General",
                           "_-* #,##0\\ _D_M_-", "0.00*s", "[Red]0.00"}) {
    EXPECT_FALSE(IsDateFormatCode(code)) << code;
  }
  for (const char* code :
       {"d/m/yy", "[$-F800]dddd\\,\\ mmmm\\ dd\\,\\ yyyy", "[h]:mm", "[ss]", "H"}) {
    EXPECT_TRUE(IsDateFormatCode(code)) << code;
  }
}

// The built-in formats a workbook may name without defining them. Each id below
// 164 is a date or time format exactly when the list says so; where the list
// gives an English code, that code is judged the same way by its letters.
TEST(NumberFormat, EveryBuiltInIdHasTheKindTheListGivesIt) {
  // ECMA-376 Part 1, 18.8.30: the codes of the locale-independent built-ins.
  // clang-format off
  const std::map<int, const char*> english = {
      {0, "General"}, {1, "0"}, {2, "0.00"}, {3, "#,##0"}, {4, "#,##0.00"}, {9, "0%"},
      {10, "0.00%"}, {11, "0.00E+00"}, {12, "# ?/?"}, {13, "# ?\?/??"}, {14, "mm-dd-yy"},
      {15, "d-mmm-yy"}, {16, "d-mmm"}, {17, "mmm-yy"}, {18, "h:mm AM/PM"}, {19, "h:mm:ss AM/PM"},
      {20, "h:mm"}, {21, "h:mm:ss"}, {22, "m/d/yy h:mm"}, {37, "#,##0 ;(#,##0)"},
      {38, "#,##0 ;[Red](#,##0)"}, {39, "#,##0.00;(#,##0.00)"}, {40, "#,##0.00;[Red](#,##0.00)"},
      {45, "mm:ss"}, {46, "[h]:mm:ss"}, {47, "mmss.0"}, {48, "##0.0E+0"}, {49, "@"},
  };
  // clang-format on

  // The East Asian date and time formats, whose codes depend on the locale:
  // 27-36 and 50-58 (ggge"年"m"月"d"日", yyyy"年"m"月", ...).
  const auto east_asian_date = [](int id) {
    return (id >= 27 && id <= 36) || (id >= 50 && id <= 58);
  };
  for (int id = 0; id < 164; ++id) {
    const auto code = english.find(id);
    const bool expected = east_asian_date(id) || (id >= 14 && id <= 22) || (id >= 45 && id <= 47);
    EXPECT_EQ(IsBuiltInDateFormat(id), expected) << "built-in format " << id;
    if (code != english.end()) {
      EXPECT_EQ(IsDateFormatCode(code->second), expected) << "code of format " << id;
    }
  }
}

// A format the workbook defines is judged by its code, whatever its id.
TEST(NumberFormat, AWorkbooksOwnFormatsOverrideTheBuiltInOnes) {
  DateFormats formats;
  formats.Define(14, "0.00");  // a built-in date id, redefined as a number
  formats.Define(164, "yyyy-mm-dd");
  formats.Define(165, "0.0");
  EXPECT_EQ(formats.OfCells({14, 15, 164, 165, 2, 58, 59}),
            (std::vector<bool>{false, true, true, false, false, true, false}));
}

}  // namespace
}  // namespace zerova
