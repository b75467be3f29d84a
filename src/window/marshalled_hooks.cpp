#include "window/marshalled_hooks.h"

#include <algorithm>
#include <utility>

namespace zerova {

MarshalledHooks::MarshalledHooks(RunHooks& window, Poster post)
    : window_(window), post_(std::move(post)) {}

MarshalledHooks::~MarshalledHooks() = default;

void MarshalledHooks::RunStarted() {
  Call([this] { window_.RunStarted(); });
}

void MarshalledHooks::ShowLinesWritten(std::int64_t lines_written, std::int64_t lines_total) {
  const std::int64_t thousandths = lines_total > 0 ? lines_written * 1000 / lines_total : 1000;
  if (thousandths == thousandths_shown_ && lines_written != lines_total) return;
  thousandths_shown_ = thousandths;
  Post(
      [this, lines_written, lines_total] { window_.ShowLinesWritten(lines_written, lines_total); });
}

bool MarshalledHooks::StopRequested() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !asking_ || closed_; });
  return stop_ || closed_;
}

void MarshalledHooks::ShowInputRead(std::uint64_t done, std::uint64_t total) {
  const std::int64_t thousandths = static_cast<std::int64_t>(std::min(done, total) * 1000 / total);
  if (thousandths == read_thousandths_shown_) return;
  read_thousandths_shown_ = thousandths;
  Post([this, done, total] { window_.ShowInputRead(done, total); });
}

void MarshalledHooks::ShowCompletion(const std::string& message,
                                     const std::vector<std::string>& notes) {
  Call([this, message, notes] { window_.ShowCompletion(message, notes); });
}

void MarshalledHooks::RunFinished() {
  Call([this] { window_.RunFinished(); });
}

void MarshalledHooks::Post(std::function<void()> work) {
  {
    std::lock_guard lock(mutex_);
    if (closed_) return;
  }
  post_([this, work = std::move(work)]() mutable { RunOrHold(std::move(work)); });
}

void MarshalledHooks::AskingToStop() {
  std::lock_guard lock(mutex_);
  asking_ = true;
}

void MarshalledHooks::Answer(bool stop) {
  {
    std::lock_guard lock(mutex_);
    asking_ = false;
    stop_ = stop_ || stop;
  }
  changed_.notify_all();
  std::vector<std::function<void()>> held = std::exchange(held_, {});
  for (auto& work : held) work();
}

void MarshalledHooks::Close() {
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
  }
  changed_.notify_all();
  held_.clear();
}

void MarshalledHooks::Call(std::function<void()> call) {
  std::uint64_t id = 0;
  {
    std::lock_guard lock(mutex_);
    if (closed_) return;
    id = ++calls_made_;
  }
  Post([this, id, call = std::move(call)] {
    std::exception_ptr failure;
    try {
      call();
    } catch (...) {
      failure = std::current_exception();
    }
    {
      std::lock_guard lock(mutex_);
      calls_done_ = id;
      call_failure_ = failure;
    }
    changed_.notify_all();
  });
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this, id] { return closed_ || calls_done_ >= id; });
  if (std::exception_ptr failure = std::exchange(call_failure_, nullptr)) {
    std::rethrow_exception(failure);
  }
}

void MarshalledHooks::RunOrHold(std::function<void()> work) {
  {
    std::lock_guard lock(mutex_);
    if (closed_) return;
    if (asking_) {
      held_.push_back(std::move(work));
      return;
    }
  }
  work();
}

}  // namespace zerova
