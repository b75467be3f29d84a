// ChooseDelimiter on samples where the candidates compete.
#include "formats/csv/delimited_text.h"

#include <gtest/gtest.h>

namespace zerova {
namespace {

TEST(DelimitedTextTest, ChoosesTheMostConsistentDelimiter) {
  struct Row {
    const char* sample;
    bool cut;
    char delimiter;
  };
  const Row rows[] = {
      {"a;b\n1,5;2,5\n3,5;4\n", false, ';'},   // decimal commas vary, semicolons do not
      {"a\tb, c\n1\t2, 3\n", false, '\t'},     // a tie: TAB first
      {"a;b,c\n1;2,3\n", false, ';'},          // a tie: semicolon before comma
      {"\"x,y\";z\n\"1,2\";3\n", false, ';'},  // delimiters in quotes do not count
      {"a,b\n1,2\n3,4,5,6,7", true, ','},      // the cut last record is not judged
      {"a,b\n1,2\n3,4,5,6,7", false, '\0'},    // ... unless the text ends there
      {"a,b\n", false, '\0'},                  // one record: nothing to compare
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ChooseDelimiter(row.sample, row.cut), row.delimiter) << row.sample;
  }
}

}  // namespace
}  // namespace zerova
