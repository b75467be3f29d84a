// Strings kept in blocks: each reads back as added, whatever its length and
// wherever a block ends, and its view stays put as the table grows.
#include "formats/common/string_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zerova {
namespace {

TEST(StringTableTest, EveryStringReadsBackAndStaysWhereItIs) {
  const std::vector<std::size_t> lengths = {0, 1, 16384, 16385, 70000, 65536, 0, 3, 65535, 1};
  std::vector<std::string> added;
  StringTable table;
  for (int round = 0; round < 3; ++round) {
    for (std::size_t length : lengths) {
      added.push_back(std::string(length, static_cast<char>('a' + added.size() % 26)));
      EXPECT_EQ(table.Add(added.back()), added.size() - 1);
    }
    for (int i = 0; i < 20000; ++i) {  // small ones across many blocks
      added.push_back("s" + std::to_string(added.size()));
      table.Add(added.back());
    }
  }
  const std::string_view first_long = table[2];
  for (int i = 0; i < 1000; ++i) table.Add(std::string(100, 'x'));
  EXPECT_EQ(table[2].data(), first_long.data());
  ASSERT_EQ(table.size(), added.size() + 1000);
  std::size_t wrong = 0;
  for (std::uint32_t i = 0; i < added.size(); ++i) wrong += table[i] != added[i];
  EXPECT_EQ(wrong, 0u);
}

TEST(StringTableTest, TextAddedOnceIsKeptOnceAndNeverConfused) {
  StringTable table;
  table.Add("shared");  // Add never merges: indices of a shared table are kept
  EXPECT_EQ(table.Add("shared"), 1u);
  const std::uint32_t red = table.AddOnce("red");
  EXPECT_EQ(table.AddOnce("red"), red);
  EXPECT_NE(table.AddOnce("Red"), red);
  EXPECT_EQ(table.AddOnce(""), table.AddOnce(""));
  std::size_t wrong = 0;
  for (int i = 0; i < 100000; ++i) {  // far more texts than remembered: slots are reused
    const std::string text = "t" + std::to_string(i % 7919);
    wrong += table[table.AddOnce(text)] != text;
  }
  EXPECT_EQ(wrong, 0u);
  EXPECT_LT(table.size(), 100000u);
}

}  // namespace
}  // namespace zerova
