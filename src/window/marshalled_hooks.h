// MarshalledHooks: the window's hooks, for a run on another thread.
//
// The conversion runs on a worker thread; the window's controls may be touched
// only on the UI thread. This RunHooks takes the run's calls on the worker and
// carries each over to the window's own hooks on the UI thread, through the
// view's Post, so the window keeps answering its events throughout:
//
//  - RunStarted, ShowCompletion and RunFinished wait until the window has
//    done them (the progress line is painted before the work begins; the
//    completion box is closed before the run goes on). An exception the
//    window throws is thrown again on the worker.
//  - ShowInputRead and ShowLinesWritten do not wait. The window sees at most
//    one call per thousandth of the total, always the one for the last line.
//  - StopRequested is answered here, never by the window: false until the UI
//    side calls Answer(true). While the window asks the user (between
//    AskingToStop and Answer) it blocks, so the run pauses after its line.
//
// Calls the window receives never reach it inside the question: a call that
// arrives while it is asked waits until it is answered. Post() and Call() carry
// any other work (the report of the run's end, the password question) over the
// same way. Close() ends it all: waiting calls return at once, and nothing more
// reaches the window. Nothing here depends on a toolkit.
#ifndef ZEROVA_WINDOW_MARSHALLED_HOOKS_H_
#define ZEROVA_WINDOW_MARSHALLED_HOOKS_H_

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "services/run_hooks.h"

namespace zerova {

class MarshalledHooks final : public RunHooks {
 public:
  // Runs a task on the UI thread later, in the order posted; callable from any
  // thread (Form2View::Post).
  using Poster = std::function<void(std::function<void()> task)>;

  // Made, used on its UI side and destroyed on the UI thread, which is where
  // `window` is called; `post` takes the calls there. `window`, and what `post`
  // posts to, must outlive this object. REQUIRES: no worker call is under way
  // when it is destroyed (Close, then join the worker).
  MarshalledHooks(RunHooks& window, Poster post);
  ~MarshalledHooks() override;
  MarshalledHooks(const MarshalledHooks&) = delete;
  MarshalledHooks& operator=(const MarshalledHooks&) = delete;

  // Worker side: the run's calls. REQUIRES: not on the UI thread.
  void RunStarted() override;
  void ShowLinesWritten(std::int64_t lines_written, std::int64_t lines_total) override;
  bool StopRequested() override;
  void ShowInputRead(std::uint64_t done, std::uint64_t total) override;
  void ShowCompletion(const std::string& message, const std::vector<std::string>& notes) override;
  void RunFinished() override;

  // Any thread: runs `work` on the UI thread, after an open question, without waiting.
  void Post(std::function<void()> work);
  // Worker side: runs `call` on the UI thread, after an open question, and
  // waits until it has run; what it throws is thrown here. Returns at once,
  // not having run it, after Close. REQUIRES: not on the UI thread.
  void Call(std::function<void()> call);

  // UI side. The user is being asked whether to stop; the run pauses at its
  // next StopRequested, and calls for the window are held back.
  void AskingToStop();
  // The user's answer: the run goes on, or stops after its line. Held calls run now.
  void Answer(bool stop);
  // Nothing more reaches the window; StopRequested answers true from now on.
  void Close();

 private:
  // On the UI thread: runs `work` now, or after the question when one is open.
  void RunOrHold(std::function<void()> work);

  RunHooks& window_;
  Poster post_;

  std::mutex mutex_;
  std::condition_variable changed_;
  bool asking_ = false;  // a question is open
  bool stop_ = false;
  bool closed_ = false;
  std::uint64_t calls_done_ = 0;
  std::exception_ptr call_failure_;

  std::uint64_t calls_made_ = 0;              // worker only
  std::int64_t thousandths_shown_ = -1;       // worker only
  std::int64_t read_thousandths_shown_ = -1;  // worker only
  std::vector<std::function<void()>> held_;   // UI only
};

}  // namespace zerova

#endif  // ZEROVA_WINDOW_MARSHALLED_HOOKS_H_
