// A Form2View without a toolkit, for the tests of Form2 and MarshalledHooks:
// the test's own thread is the UI thread, which runs the tasks posted to the
// view when the test lets it (RunUntil). The view notes the boxes the form
// shows and the status it ends with, and answers the open dialog as told.
#ifndef ZEROVA_TESTS_WINDOW_FAKE_VIEW_H_
#define ZEROVA_TESTS_WINDOW_FAKE_VIEW_H_

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "window/form2_view.h"

namespace zerova::test {

class FakeView final : public Form2View {
 public:
  // Runs the tasks posted, in order, as they come, until `done` is true: false
  // when `limit` passes first.
  bool RunUntil(const std::function<bool()>& done,
                std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
      std::unique_lock lock(mutex_);
      posted_.wait_for(lock, std::chrono::milliseconds(5), [this] { return !tasks_.empty(); });
      if (tasks_.empty()) {
        if (std::chrono::steady_clock::now() > end) return false;
        continue;
      }
      std::function<void()> task = std::move(tasks_.front());
      tasks_.pop_front();
      lock.unlock();
      task();
    }
    return true;
  }

  void Post(std::function<void()> task) override {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
    posted_.notify_one();
  }

  void SetEnabled(Control, bool) override {}
  void SetVisible(Control, bool) override {}
  void PaintNow(Control) override {}
  void SetFocus(Control) override {}
  void SetToolTip(Control, const std::string&) override {}
  void SetTitle(const std::string&) override {}
  void SetProgress(int) override {}
  void ShowMessage(const Message& message) override { shown.push_back(message); }
  bool AskYesNo(const Message& question) override { return shown.push_back(question), false; }
  std::optional<SecretBytes> AskPassword(const PasswordQuestion&) override { return {}; }
  std::string ShowOpen(const std::string&) override { return chosen; }
  void EndProgram(int status) override { this->status = status; }

  std::vector<Message> shown;  // boxes and questions (answered No)
  std::optional<int> status;   // once the program is ended
  std::string chosen;          // the open dialog's answer

 private:
  std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<std::function<void()>> tasks_;
};

}  // namespace zerova::test

#endif  // ZEROVA_TESTS_WINDOW_FAKE_VIEW_H_
