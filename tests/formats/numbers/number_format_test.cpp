// Which number formats make a number a date or time.
#include <gtest/gtest.h>

#include "formats/numbers/number_format.h"

namespace zerova {
namespace {

TEST(NumberFormat, JudgesFormatCodesByTheirDateLetters) {
  const struct {
    const char* code;
    bool is_date;
  } rows[] = {
      {"#,##0.00_);[Red](#,##0.00)", false},
      {"\"day\" 0", false},    // quoted text is not
      {"[$-409]0.00", false},  // locale tags are not
      {"d/m/yy", true},
      {"[$-F800]dddd\\,\\ mmmm\\ dd\\,\\ yyyy", true},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(IsDateFormatCode(row.code), row.is_date) << "for " << row.code;
  }
}

}  // namespace
}  // namespace zerova
