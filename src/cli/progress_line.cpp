#include "cli/progress_line.h"

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

bool ProgressLine::Due() {
  const auto now = clock_();
  if (now < next_) return false;
  next_ = now + interval_;
  return true;
}

void ProgressLine::Update(std::int64_t written, std::int64_t total) {
  if (Due()) Draw(Text(written, total));
}

void ProgressLine::UpdateRead(std::uint64_t done, std::uint64_t total) {
  if (!Due()) return;
  if (total == 0) {
    Draw("zerova: reading (" + std::to_string(done) + " bytes)");
    return;
  }
  const std::uint64_t shown = done < total ? done : total;  // a reader may pass its estimate
  Draw("zerova: reading " + std::to_string(shown * 100 / total) + "% (" + std::to_string(shown) +
       " of " + std::to_string(total) + " bytes)");
}

void ProgressLine::Draw(const std::string& text) {
  std::string line = "\r" + text;
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
