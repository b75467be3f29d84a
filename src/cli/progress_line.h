// ProgressLine: the command line's progress, one self-overwriting line on a
// terminal.
//
// A conversion that ends within the delay (about a second) draws nothing. A
// longer one draws "zerova: reading 42% (5242880 of 12582912 bytes)" while it
// reads the workbook ("zerova: reading (5242880 bytes)" from a pipe), then "zerova: 42% (275000 of
// 655372 lines)" while it writes, redrawn in place at most every interval; Erase() blanks it again,
// so the line leaves no trace on the terminal. The command line makes one only when stderr is a
// terminal: scripts reading a pipe or a file see no progress at all.
#ifndef ZEROVA_CLI_PROGRESS_LINE_H_
#define ZEROVA_CLI_PROGRESS_LINE_H_

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

namespace zerova {

class ProgressLine {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  // Draws on `out`, which must outlive this object. The delay counts from now.
  explicit ProgressLine(std::FILE* out, Clock clock = std::chrono::steady_clock::now,
                        std::chrono::milliseconds delay = std::chrono::seconds(1),
                        std::chrono::milliseconds interval = std::chrono::milliseconds(100));
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  // Notes that `written` of `total` lines are written (0 < written <= total),
  // and redraws the line once the delay has passed and the interval since the
  // last drawing is over.
  void Update(std::int64_t written, std::int64_t total);

  // Notes that `done` of the workbook's `total` bytes are read (0: a total not
  // known), and redraws as Update does.
  void UpdateRead(std::uint64_t done, std::uint64_t total);

  // Blanks the line and leaves the cursor at its start, when one was drawn.
  // Call it before anything else is printed; Update may draw again afterwards.
  void Erase();

  // The text of the line for `written` of `total` lines.
  static std::string Text(std::int64_t written, std::int64_t total);

 private:
  // True, and the next drawing planned, when the line may be drawn now.
  bool Due();
  // Draws `text` over what was drawn before.
  void Draw(const std::string& text);

  std::FILE* out_;
  Clock clock_;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point next_;
  std::chrono::milliseconds interval_;
  std::size_t drawn_width_ = 0;  // 0: nothing on the terminal
};

}  // namespace zerova

#endif  // ZEROVA_CLI_PROGRESS_LINE_H_
