// ChooseDelimiter on samples where the candidates compete.
#include "formats/csv/delimited_text.h"

#include <gtest/gtest.h>

#include <string>

namespace zerova {
namespace {

TEST(DelimitedTextTest, ChoosesTheMostConsistentDelimiter) {
  struct Row {
    const char* sample;
    bool cut;
    char delimiter;
  };
  const Row rows[] = {
      {"a,b,c\n1,2,3\n", false, ','},
      {"a;b\n1,5;2,5\n3,5;4\n", false, ';'},   // decimal commas vary, semicolons do not
      {"a\tb, c\n1\t2, 3\n", false, '\t'},     // a tie: TAB first
      {"a;b,c\n1;2,3\n", false, ';'},          // a tie: semicolon before comma
      {"\"x,y\";z\n\"1,2\";3\n", false, ';'},  // delimiters in quotes do not count
      {"a,b\n1,2\n3,4,5,6,7", true, ','},      // the cut last record is not judged
      {"a,b\n1,2\n3,4,5,6,7", false, '\0'},    // ... unless the text ends there
      {"plain words\n", false, '\0'},
      {"a,b\n", false, '\0'},   // one record: nothing to compare
      {"a,b,c,d", true, '\0'},  // ... nor a short one cut short
  };
  std::string wide = "a";  // a record running past a 4 KiB sample is judged alone
  while (wide.size() < 4096) wide += ";b";
  EXPECT_EQ(ChooseDelimiter(wide, true), ';');
  EXPECT_EQ(ChooseDelimiter(wide, false), '\0');
  for (const Row& row : rows) {
    EXPECT_EQ(ChooseDelimiter(row.sample, row.cut), row.delimiter) << row.sample;
  }
}

}  // namespace
}  // namespace zerova
