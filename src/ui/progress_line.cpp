#include "ui/progress_line.h"

#include <string>

namespace zerova {

ProgressLine::ProgressLine(std::FILE* out, Clock clock, std::chrono::milliseconds delay,
                           std::chrono::milliseconds interval)
    : out_(out),
      clock_(std::move(clock)),
      start_(clock_()),
      next_(start_ + delay),
      interval_(interval) {}

std::string ProgressLine::Text(std::int64_t written, std::int64_t total) {
  const std::int64_t percent = total > 0 ? written * 100 / total : 100;
  return "zerova: " + std::to_string(percent) + "% (" + std::to_string(written) + " of " +
         std::to_string(total) + " lines)";
}

void ProgressLine::Update(std::int64_t written, std::int64_t total) {
  const auto now = clock_();
  if (now < next_) return;
  next_ = now + interval_;
  std::string line = "\r" + Text(written, total);
  // A shorter text than the one drawn before is padded to cover it.
  const std::size_t width = line.size() - 1;
  if (width < drawn_width_) line.append(drawn_width_ - width, ' ');
  if (width > drawn_width_) drawn_width_ = width;
  std::fputs(line.c_str(), out_);
  std::fflush(out_);
}

void ProgressLine::Erase() {
  if (drawn_width_ == 0) return;
  std::fputs(("\r" + std::string(drawn_width_, ' ') + "\r").c_str(), out_);
  std::fflush(out_);
  drawn_width_ = 0;
}

}  // namespace zerova
