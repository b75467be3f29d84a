// MarshalledHooks: calls from a worker thread reach the window on the UI thread,
// in order, waiting where the contract says, and pausing while the user is asked.
#include "window/marshalled_hooks.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "services/error.h"
#include "window/fake_view.h"

namespace zerova {
namespace {

using test::FakeView;

// Records each call, noting any that arrives off the UI thread.
struct RecordingWindow final : RunHooks {
  void Note(const std::string& call) {
    if (std::this_thread::get_id() != ui_thread) off_ui = true;
    calls.push_back(call);
  }
  void RunStarted() override { Note("RunStarted"); }
  void ShowLinesWritten(std::int64_t written, std::int64_t total) override {
    Note("Lines");
    progress.emplace_back(written, total);
  }
  void ShowCompletion(const std::string& message, const std::vector<std::string>&) override {
    Note("ShowCompletion: " + message);
    if (message == "throw") throw Error("box", "could not be shown");
  }
  void RunFinished() override { Note("RunFinished"); }

  const std::thread::id ui_thread = std::this_thread::get_id();
  std::vector<std::string> calls;
  std::vector<std::pair<std::int64_t, std::int64_t>> progress;
  bool off_ui = false;
};

// Runs `work` on a thread of its own; `done` turns true when it returns.
struct Worker {
  explicit Worker(std::function<void()> work) : thread([this, work] { work(), done = true; }) {}
  ~Worker() { thread.join(); }
  std::atomic<bool> done = false;
  std::thread thread;
};

MarshalledHooks::Poster PostTo(FakeView& view) {
  return [&view](std::function<void()> task) { view.Post(std::move(task)); };
}

// A whole run's calls: in order, on the UI thread; each waiting call done by
// the time it returns; the progress thinned to thousandths, the last line kept;
// what the window throws reaches the run's thread.
TEST(MarshalledHooks, CarriesARunsCallsToTheUiThreadInOrder) {
  FakeView view;
  RecordingWindow window;
  MarshalledHooks hooks(window, PostTo(view));
  std::size_t seen_after_start = 0;
  std::string failure;
  Worker worker([&] {
    hooks.RunStarted();
    seen_after_start = window.calls.size();
    for (int line = 1; line <= 12345; ++line) {
      hooks.ShowLinesWritten(line, 12345);
      if (hooks.StopRequested()) return;
    }
    try {
      hooks.ShowCompletion("throw", {});
    } catch (const Error& e) {
      failure = e.what();
    }
    hooks.RunFinished();
  });
  const bool ran = view.RunUntil([&] { return worker.done.load(); });
  hooks.Close();  // a worker still waiting goes on, and stops
  ASSERT_TRUE(ran);
  EXPECT_EQ(seen_after_start, 1u);
  EXPECT_FALSE(window.off_ui);
  EXPECT_EQ(window.calls.front(), "RunStarted");
  EXPECT_EQ(window.calls.back(), "RunFinished");
  EXPECT_EQ(window.calls[window.calls.size() - 2], "ShowCompletion: throw");
  EXPECT_EQ(failure, "box: could not be shown");
  ASSERT_EQ(window.progress.size(), 1001u);  // thousandths 0 to 1000
  EXPECT_EQ(window.progress.back(), std::make_pair(std::int64_t{12345}, std::int64_t{12345}));
  for (std::size_t i = 1; i < window.progress.size(); ++i)
    EXPECT_LT(window.progress[i - 1].first, window.progress[i].first);
}

// While the user is asked, StopRequested waits and the window's calls are held;
// the answer releases both. Close releases them with nothing shown, and stops the run.
TEST(MarshalledHooks, PausesTheRunWhileTheUserIsAsked) {
  for (const auto& [stop, close] : {std::pair{false, false}, {true, false}, {true, true}}) {
    FakeView view;
    RecordingWindow window;
    MarshalledHooks hooks(window, PostTo(view));
    hooks.AskingToStop();
    std::atomic<int> answer = -1;
    Worker asker([&] { answer = hooks.StopRequested(); });
    Worker shower([&] { hooks.ShowCompletion("held", {}); });
    view.RunUntil([] { return false; }, std::chrono::milliseconds(100));
    EXPECT_EQ(answer.load(), -1);
    EXPECT_TRUE(window.calls.empty() && !shower.done);
    close ? hooks.Close() : hooks.Answer(stop);
    EXPECT_TRUE(view.RunUntil([&] { return asker.done && shower.done; }));
    EXPECT_EQ(answer.load(), int(stop));
    EXPECT_EQ(window.calls, std::vector<std::string>(!close, "ShowCompletion: held"));
    EXPECT_EQ(hooks.StopRequested(), stop);
    hooks.Close();  // a worker still waiting goes on
  }
}

}  // namespace
}  // namespace zerova
