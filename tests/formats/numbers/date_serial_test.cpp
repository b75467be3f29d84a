// Date serials from ISO 8601 text: Excel's day numbers in both date systems, and
// text that is no date.
#include "formats/numbers/date_serial.h"

#include <gtest/gtest.h>

namespace zerova {
namespace {

TEST(DateSerial, IsoDatesAndTimesBecomeExcelsSerials) {
  const struct {
    const char* text;
    DateSystem system;
    bool parses;
    double serial;
  } rows[] = {
      {"1900-01-01", DateSystem::k1900, true, 1},
      {"1900-02-28", DateSystem::k1900, true, 59},
      {"1900-03-01", DateSystem::k1900, true, 61},  // after Excel's 1900-02-29
      {"1899-12-31", DateSystem::k1900, true, 0},
      {"2023-03-15", DateSystem::k1900, true, 45000},
      {"2023-03-15T18:00:00", DateSystem::k1900, true, 45000.75},
      {"2023-03-15 06:00", DateSystem::k1900, true, 45000.25},
      {"2023-03-15T06:00:00Z", DateSystem::k1900, true, 45000.25},  // the zone is ignored
      {"1904-01-01", DateSystem::k1904, true, 0},
      {"1904-01-02", DateSystem::k1904, true, 1},
      {"12:00", DateSystem::k1900, true, 0.5},
      {"T24:00:00", DateSystem::k1900, true, 1},
      {"20x3-01-01", DateSystem::k1900, false, 0},
      {"2023-1x-01", DateSystem::k1900, false, 0},
      {"2023-02-29", DateSystem::k1900, false, 0},
      {"2023-13-01", DateSystem::k1900, false, 0},
      {"2023-03-15T25:00", DateSystem::k1900, false, 0},
      {"2023-03-15T12:3x", DateSystem::k1900, false, 0},
      {"T1x:00", DateSystem::k1900, false, 0},
      {"2023-03-0x", DateSystem::k1900, false, 0},
      {"2023-03-15junk", DateSystem::k1900, false, 0},
      {"", DateSystem::k1900, false, 0},
  };
  for (const auto& row : rows) {
    double serial = -1;
    EXPECT_EQ(SerialFromIsoDateTime(row.text, row.system, &serial), row.parses) << row.text;
    if (row.parses) EXPECT_DOUBLE_EQ(serial, row.serial) << row.text;
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
    if (row.parses) EXPECT_DOUBLE_EQ(days, row.days) << row.text;
  }
}

}  // namespace
}  // namespace zerova
