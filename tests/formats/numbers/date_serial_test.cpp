// Date serials from ISO 8601 text: Excel's day numbers in both date systems (1900-03-01
// after Excel's 1900-02-29; a time zone ignored), and text that is no date.
#include "formats/numbers/date_serial.h"

#include <gtest/gtest.h>

namespace zerova {
namespace {

TEST(DateSerial, IsoDatesAndTimesBecomeExcelsSerials) {
  // clang-format off
  const std::pair<const char*, double> in1900[] = {
      {"1900-01-01", 1}, {"1900-02-28", 59}, {"1900-03-01", 61}, {"1899-12-31", 0},
      {"2023-03-15", 45000}, {"2023-03-15T18:00:00", 45000.75}, {"2023-03-15 06:00", 45000.25},
      {"2023-03-15T06:00:00Z", 45000.25}, {"12:00", 0.5}, {"T24:00:00", 1},
  };
  // clang-format on
  for (const auto& [text, expected] : in1900) {
    double serial = -1;
    EXPECT_TRUE(SerialFromIsoDateTime(text, DateSystem::k1900, &serial)) << text;
    EXPECT_DOUBLE_EQ(serial, expected) << text;
  }
  double serial = -1;
  EXPECT_TRUE(SerialFromIsoDateTime("1904-01-02", DateSystem::k1904, &serial));
  EXPECT_DOUBLE_EQ(serial, 1);
  EXPECT_TRUE(SerialFromIsoDateTime("1904-01-01", DateSystem::k1904, &serial));
  EXPECT_DOUBLE_EQ(serial, 0);
  for (const char* text :
       {"20x3-01-01", "2023-1x-01", "2023-02-29", "2023-13-01", "2023-03-15T25:00",
        "2023-03-15T12:3x", "T1x:00", "2023-03-0x", "2023-03-15junk", ""}) {
    EXPECT_FALSE(SerialFromIsoDateTime(text, DateSystem::k1900, &serial)) << text;
  }
}

TEST(DateSerial, IsoDurationsBecomeDays) {
  const struct {
    const char* text;
    bool parses;
    double days;
  } rows[] = {
      {"PT36H", true, 1.5},   {"P1DT12H", true, 1.5},
      {"-PT12H", true, -0.5}, {"PT0H30M0S", true, 1.0 / 48},
      {"P1Y", false, 0},      {"PT", false, 0},
      {"P1W", false, 0},      {"PTxH", false, 0},
      {"", false, 0},
  };
  for (const auto& row : rows) {
    double days = -1;
    EXPECT_EQ(DaysFromIsoDuration(row.text, &days), row.parses) << row.text;
    if (row.parses) {
      EXPECT_DOUBLE_EQ(days, row.days) << row.text;
    }
  }
}

}  // namespace
}  // namespace zerova
