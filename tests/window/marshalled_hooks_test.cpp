// MarshalledHooks: calls from a worker thread reach the window on the GUI thread,
// in order, waiting where the contract says, and pausing while the user is asked.
#include "window/marshalled_hooks.h"

#include <QCoreApplication>
#include <QThread>
#include <QtTest>
#include <atomic>
#include <thread>

#include "services/error.h"

namespace zerova {
namespace {

// Records each call, noting any that arrives off the GUI thread.
struct RecordingWindow final : RunHooks {
  void Note(const std::string& call) {
    if (QThread::currentThread() != QCoreApplication::instance()->thread()) off_gui = true;
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

  std::vector<std::string> calls;
  std::vector<std::pair<std::int64_t, std::int64_t>> progress;
  bool off_gui = false;
};

// Runs `work` on a thread of its own; `done` turns true when it returns.
struct Worker {
  explicit Worker(std::function<void()> work) : thread([this, work] { work(), done = true; }) {}
  ~Worker() { thread.join(); }
  std::atomic<bool> done = false;
  std::thread thread;
};

}  // namespace

class MarshalledHooksTest : public QObject {
  Q_OBJECT

 private slots:
  // A whole run's calls: in order, on the GUI thread; each waiting call done by
  // the time it returns; the progress thinned to thousandths, the last line kept;
  // what the window throws reaches the run's thread.
  void CarriesARunsCallsToTheGuiThreadInOrder() {
    RecordingWindow window;
    MarshalledHooks hooks(window);
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
    QTRY_VERIFY(worker.done);
    QCOMPARE(seen_after_start, std::size_t{1});
    QVERIFY(!window.off_gui);
    QCOMPARE(window.calls.front(), std::string("RunStarted"));
    QCOMPARE(window.calls.back(), std::string("RunFinished"));
    QCOMPARE(window.calls[window.calls.size() - 2], std::string("ShowCompletion: throw"));
    QCOMPARE(failure, std::string("box: could not be shown"));
    QCOMPARE(window.progress.size(), std::size_t{1001});  // thousandths 0 to 1000
    QCOMPARE(window.progress.back(), std::make_pair(std::int64_t{12345}, std::int64_t{12345}));
    for (std::size_t i = 1; i < window.progress.size(); ++i)
      QVERIFY(window.progress[i - 1].first < window.progress[i].first);
    hooks.Close();
  }

  // While the user is asked, StopRequested waits and the window's calls are held;
  // the answer releases both. Close releases them with nothing shown, and stops the run.
  void PausesTheRunWhileTheUserIsAsked() {
    for (const auto& [stop, close] : {std::pair{false, false}, {true, false}, {true, true}}) {
      RecordingWindow window;
      MarshalledHooks hooks(window);
      hooks.AskingToStop();
      std::atomic<int> answer = -1;
      Worker asker([&] { answer = hooks.StopRequested(); });
      Worker shower([&] { hooks.ShowCompletion("held", {}); });
      QTest::qWait(100);
      QCOMPARE(answer.load(), -1);
      QVERIFY(window.calls.empty() && !shower.done);
      close ? hooks.Close() : hooks.Answer(stop);
      QTRY_VERIFY(asker.done && shower.done);
      QCOMPARE(answer.load(), int(stop));
      QCOMPARE(window.calls, std::vector<std::string>(!close, "ShowCompletion: held"));
      QCOMPARE(hooks.StopRequested(), stop);
      hooks.Close();
    }
  }
};

}  // namespace zerova

QTEST_GUILESS_MAIN(zerova::MarshalledHooksTest)
#include "marshalled_hooks_test.moc"
