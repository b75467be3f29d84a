// How the user stops the command line; the one owner of what that does. On
// POSIX systems SIGINT, SIGTERM and SIGHUP stop it; on Windows Ctrl+C (as
// SIGINT), Ctrl+Break (as SIGTERM) and the closing of its console (as SIGHUP):
// the same words, the same exit statuses. A signal that the parent left
// ignored (nohup, a background job of a script) stays ignored.
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
//
// Each platform implements this in its folder under src/platform/.
#ifndef ZEROVA_SERVICES_STOP_SIGNALS_H_
#define ZEROVA_SERVICES_STOP_SIGNALS_H_

#include <string>

#include "services/file_system.h"

namespace zerova {

// Installs the handler for the stop signals, on the calling thread, which
// becomes the main thread; and on POSIX systems ignores SIGXFSZ, so a write
// past the file-size limit (ulimit -f) fails with EFBIG and is reported,
// instead of ending the program without a word.
void CatchStopSignals();

// How the help names the stop signals in this platform's terms.
struct StopSignalsNamed {
  const char* all;       // "SIGINT, SIGTERM and SIGHUP"
  const char* second;    // "signal", as in "a second signal ends the program"
  const char* statuses;  // "128+N when signal N stopped it (129 SIGHUP, ...)"
};
StopSignalsNamed NameStopSignals();

// The number of the first stop signal received (SIGINT 2, SIGTERM 15, SIGHUP
// 1, on every platform), or 0 while none has come. The program's exit status
// after a stop is 128 plus this number.
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

  // The words as the handler reads them.
  struct Words {
    std::string line;
    std::string removable;
    FileId id;
  };

 private:
  Words* previous_;
};

// Writes `line` (whole lines) to stderr as the program's last word on the run
// it ends, holding back the stop signals meanwhile: a second signal that comes
// before has said its own armed words instead, one that comes during or after
// ends the program silently, the line being said.
void SayLast(const std::string& line);

// Hands `words` (null: none) to the platform's handler as the ones a second
// signal says, freeing the words it replaces unless the handler took them.
// Called by LastWords (last_words.cpp) and SayLast.
void ArmLastWords(LastWords::Words* words);

}  // namespace zerova

#endif  // ZEROVA_SERVICES_STOP_SIGNALS_H_
