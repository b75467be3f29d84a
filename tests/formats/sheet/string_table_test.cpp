// Strings kept in blocks: each reads back as added, whatever its length and
// wherever a block ends, its view stays put as the table grows, and AddOnce
// never confuses two texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats/sheet/string_table.h"

namespace zerova {
namespace {

TEST(StringTableTest, EveryStringReadsBackAndStaysWhereItIs) {
  std::vector<std::string> added;
  StringTable table;
  for (std::size_t length : {0, 1, 16384, 16385, 70000, 65536, 0, 65535}) {
    added.push_back(std::string(length, static_cast<char>('a' + added.size())));
    EXPECT_EQ(table.Add(added.back()), added.size() - 1);
    for (int i = 0; i < 5000; ++i) {  // small ones across many blocks
      added.push_back("s" + std::to_string(added.size()));
      table.Add(added.back());
    }
  }
  const std::string_view first_long = table[10002];
  for (int i = 0; i < 1000; ++i) table.Add(std::string(100, 'x'));
  EXPECT_EQ(table[10002].data(), first_long.data());
  ASSERT_EQ(table.size(), added.size() + 1000);
  std::size_t wrong = 0;
  for (std::uint32_t i = 0; i < added.size(); ++i) wrong += table[i] != added[i];
  EXPECT_EQ(wrong, 0u);
}

TEST(StringTableTest, TextAddedOnceIsKeptOnceAndNeverConfused) {
  StringTable table;
  const std::uint32_t red = table.AddOnce("red");
  EXPECT_EQ(table.AddOnce("red"), red);
  EXPECT_NE(table.AddOnce("Red"), red);
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
