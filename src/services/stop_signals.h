// How SIGINT, SIGTERM and SIGHUP stop the command line; the one owner of what
// they do.
//
// The first of them is only noted: the work asks StopSignal() often (every
// 64 KB of input while reading, after every line while writing, while it waits
// for input) and stops at the next question, cleaning up as it goes and saying
// so in one line. A second one ends the program at once, from the handler
// itself: it removes the file the work has begun, if any, writes the last words
// armed for the moment, and ends the program by the signal, so the parent sees
// the status 128 plus its number. Some last words are armed at every moment
// from CatchStopSignals on (a LastWords object), so that however signals come,
// one line on stderr says how the run ended, and says it once. Everything the
// handler does is async-signal-safe; a signal that reaches another thread (a
// reader's) is handed to the main thread.
#ifndef ZEROVA_CLI_STOP_SIGNALS_H_
#define ZEROVA_CLI_STOP_SIGNALS_H_

#include <termios.h>

#include <functional>
#include <string>

#include "services/file_system.h"

namespace zerova {

// Installs the handler for SIGINT, SIGTERM and SIGHUP, on the calling thread,
// which becomes the main thread; and ignores SIGXFSZ, so a write past the
// file-size limit (ulimit -f) fails with EFBIG and is reported, instead of
// ending the program without a word.
void CatchStopSignals();

// The number of the first stop signal received, or 0 while none has come.
int StopSignal();

// What a second signal says (and removes) while this object lives: `line`, one
// whole line for stderr, written after `removable` is removed, when that is
// not empty and still names the file `id` (a file put in its place meanwhile is
// left alone). The last words armed before it come back when it goes.
// REQUIRES: made, changed and destroyed on the main thread, in stack order.
class LastWords {
 public:
  explicit LastWords(std::string line, std::string removable = "", FileId id = {});
  LastWords(const LastWords&) = delete;
  LastWords& operator=(const LastWords&) = delete;
  ~LastWords();

  // Arms other words in place of this object's.
  void Change(std::string line, std::string removable = "", FileId id = {});

  // The words as the handler reads them (stop_signals.cpp).
  struct Words;

 private:
  Words* previous_;
};

// Writes `line` (whole lines) to stderr as the program's last word on the run
// it ends, holding back the stop signals meanwhile: a second signal that comes
// before has said its own armed words instead, one that comes during or after
// ends the program silently, the line being said.
void SayLast(const std::string& line);

// While the terminal `fd` has its echo off: a second signal puts `settings`
// back on it before it ends the program. ForgetTerminal ends that.
void RestoreTerminalOnEnd(int fd, const termios& settings);
void ForgetTerminal();

// Waits until `fd` has input, or its end, calling `on_wake` first and after
// every signal that interrupts the wait, so that a stop is noticed while nothing
// comes (`on_wake` throws to end the wait). No signal is lost between the call
// and the wait. Returns false, with errno set, when the wait itself fails.
bool WaitForInput(int fd, const std::function<void()>& on_wake);

}  // namespace zerova

#endif  // ZEROVA_CLI_STOP_SIGNALS_H_
