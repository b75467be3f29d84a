// ISO 8601 text to date serials, and A1 references: the small parsers under the
// .xlsx and .ods readers, in tables.
#include "services/date_serial.h"

#include <gtest/gtest.h>

#include "services/cell_address.h"

namespace zerova {
namespace {

TEST(DateSerialTest, IsoMomentsBecomeTheSerialsOfTheirDateSystem) {
  struct Case {
    const char* text;
    DateSystem system;
    double serial;
  };
  const Case cases[] = {
      {"2024-02-29", DateSystem::k1900, 45351},
      {"2024-02-29T12:00:00", DateSystem::k1900, 45351.5},
      {"2024-02-29T06:00:00Z", DateSystem::k1900, 45351.25},
      {"2024-02-29T06:00:00+02:00", DateSystem::k1900, 45351.25},
      {"2024-02-29T00:00:00.5", DateSystem::k1900, 0.5 / 86400 + 45351},
      {"1900-03-01", DateSystem::k1900, 61},
      {"1900-02-28", DateSystem::k1900, 59},
      {"1900-01-01", DateSystem::k1900, 1},
      {"1899-12-31T12:00", DateSystem::k1900, 0.5},
      {"1899-12-30", DateSystem::k1900, -1},
      {"1904-01-02", DateSystem::k1904, 1},
      {"12:30:00", DateSystem::k1900, 0.5 + 30.0 / 1440},
      {"T06:00", DateSystem::k1904, 0.25},
      {"24:00:00", DateSystem::k1900, 1},
  };
  for (const Case& c : cases) {
    double serial = -99;
    EXPECT_TRUE(SerialFromIsoDateTime(c.text, c.system, &serial)) << c.text;
    EXPECT_DOUBLE_EQ(serial, c.serial) << c.text;
  }
}

TEST(DateSerialTest, ImpossibleOrForeignDatesAreRefused) {
  for (const char* text : {"", "2024", "2023-02-29", "2024-13-01", "2024-00-10", "2024-01-32",
                           "24-01-01", "2024-1-1", "2024-01-01T25:00", "2024-01-01T10:60",
                           "2024-01-01 x", "2024-01-01T10:00:00+2", "24:00:01", "noon"}) {
    double serial = 0;
    EXPECT_FALSE(SerialFromIsoDateTime(text, DateSystem::k1900, &serial)) << text;
  }
}

TEST(DateSerialTest, DurationsBecomeDays) {
  struct Case {
    const char* text;
    double days;
  };
  const Case cases[] = {
      {"PT36H00M00S", 1.5},    {"PT013H45M30S", (13 * 3600 + 45 * 60 + 30) / 86400.0},
      {"P1DT12H", 1.5},        {"-PT6H", -0.25},
      {"PT0.5S", 0.5 / 86400}, {"PT23H59M59.99136S", (86399.99136) / 86400}};
  for (const Case& c : cases) {
    double days = -99;
    EXPECT_TRUE(DaysFromIsoDuration(c.text, &days)) << c.text;
    EXPECT_NEAR(days, c.days, 1e-12) << c.text;
  }
  for (const char* text : {"", "P", "PT", "P1M", "P1Y", "P1W", "PT1D", "PT-1H", "PT1H2", "1H"}) {
    double days = 0;
    EXPECT_FALSE(DaysFromIsoDuration(text, &days)) << text;
  }
}

TEST(CellAddressTest, ReferencesWithinTheGridParse) {
  struct Case {
    const char* text;
    std::int64_t row;
    std::int64_t column;
    const char* written;  // as CellReferenceText writes it
  };
  const Case cases[] = {{"A1", 1, 1, "A1"},
                        {"z9", 9, 26, "Z9"},
                        {"AA10", 10, 27, "AA10"},
                        {"$B$2", 2, 2, "B2"},
                        {"XFD1048576", 1048576, 16384, "XFD1048576"}};
  for (const Case& c : cases) {
    std::int64_t row = 0, column = 0;
    EXPECT_TRUE(ParseCellReference(c.text, &row, &column)) << c.text;
    EXPECT_EQ(row, c.row) << c.text;
    EXPECT_EQ(column, c.column) << c.text;
    EXPECT_EQ(CellReferenceText(c.row, c.column), c.written);
  }
  for (const char* text : {"", "A", "1", "A0", "A01", "XFE1", "A1048577", "AAAA1", "A1B", "-A1"}) {
    std::int64_t row = 0, column = 0;
    EXPECT_FALSE(ParseCellReference(text, &row, &column)) << text;
  }
}

}  // namespace
}  // namespace zerova
