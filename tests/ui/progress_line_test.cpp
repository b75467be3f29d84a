// The command line's progress line, on a clock the test moves.
#include "ui/progress_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace zerova {
namespace {

using std::chrono::milliseconds;

class ProgressLineTest : public ::testing::Test {
 protected:
  ProgressLineTest() : out_(::open_memstream(&buffer_, &size_)) {}
  ~ProgressLineTest() override {
    std::fclose(out_);
    std::free(buffer_);
  }
  // What was written since the last call.
  std::string Written() {
    std::fflush(out_);
    std::string all(buffer_, size_);
    std::string fresh = all.substr(seen_);
    seen_ = all.size();
    return fresh;
  }

  char* buffer_ = nullptr;
  std::size_t size_ = 0;
  std::size_t seen_ = 0;
  std::FILE* out_;
  std::chrono::steady_clock::time_point now_{};
};

TEST_F(ProgressLineTest, DrawsAfterTheDelayAtMostEveryIntervalAndErasesWhatItDrew) {
  ProgressLine line(
      out_, [this] { return now_; }, milliseconds(1000), milliseconds(100));
  const struct {
    int advance_ms;
    std::int64_t written, total;
    std::string drawn;
  } steps[] = {
      {0, 1, 655372, ""},
      {999, 2, 655372, ""},  // within the delay: a short run draws nothing
      {1, 27500, 655372, "\rzerova: 4% (27500 of 655372 lines)"},
      {99, 27600, 655372, ""},  // within the interval
      {1, 327686, 655372, "\rzerova: 50% (327686 of 655372 lines)"},
      {500, 655372, 655372, "\rzerova: 100% (655372 of 655372 lines)"},
      // A shorter text covers the longer one drawn before.
      {100, 9, 10, "\rzerova: 90% (9 of 10 lines)          "},
  };
  for (const auto& step : steps) {
    now_ += milliseconds(step.advance_ms);
    line.Update(step.written, step.total);
    EXPECT_EQ(Written(), step.drawn) << step.written;
  }
  line.Erase();
  EXPECT_EQ(Written(), "\r" + std::string(37, ' ') + "\r");
  line.Erase();
  EXPECT_EQ(Written(), "");
}

TEST_F(ProgressLineTest, AShortRunLeavesNothingToErase) {
  ProgressLine line(out_, [this] { return now_; });
  line.Update(3, 3);
  line.Erase();
  EXPECT_EQ(Written(), "");
}

}  // namespace
}  // namespace zerova
