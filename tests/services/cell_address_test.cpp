// A1 references: the grid's edges, "$" markers, either case, and the texts that
// are no reference.
#include "services/cell_address.h"

#include <gtest/gtest.h>

#include <string>

namespace zerova {
namespace {

TEST(CellAddressTest, ReferencesAndWhatIsNone) {
  const struct {
    const char* text;
    const char* parsed;  // "row,column", or "no"
  } rows[] = {
      {"A1", "1,1"},       {"$b$12", "12,2"}, {"xfd1048576", "1048576,16384"},
      {"AB7", "7,28"},     {"A$3", "3,1"},    {"XFE1", "no"},
      {"A1048577", "no"},  {"A0", "no"},      {"A01", "no"},
      {"AAAA1", "no"},     {"1A", "no"},      {"A", "no"},
      {"", "no"},          {"$$A1", "no"},    {"A1x", "no"},
      {"A12345678", "no"}, {"@1", "no"},      {"[1", "no"},
      {"Ä1", "no"},        {"A-1", "no"},     {"A 1", "no"},
  };
  for (const auto& row : rows) {
    std::int64_t r = 0, c = 0;
    const std::string parsed =
        ParseCellReference(row.text, &r, &c) ? std::to_string(r) + "," + std::to_string(c) : "no";
    EXPECT_EQ(parsed, row.parsed) << "\"" << row.text << "\"";
  }
}

}  // namespace
}  // namespace zerova
