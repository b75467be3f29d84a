// StopSignals: how SIGINT, SIGTERM and SIGHUP stop the command line.
//
// The first of them is only noted: the run asks StopSignal() often (every 64 KB
// of input while reading, after every line while writing) and stops at the next
// question, cleaning up as it goes. A second one ends the program at once, from
// the handler itself: it removes the document the run has begun writing, if any
// (ArmSecondSignal), writes the line armed with it, and ends the program by the
// signal, so the parent sees the status 128 plus its number. Everything the
// handler does is async-signal-safe.
#ifndef ZEROVA_CLI_STOP_SIGNALS_H_
#define ZEROVA_CLI_STOP_SIGNALS_H_

#include <string>

#include "services/file_system.h"

namespace zerova {

// Installs the handler for SIGINT, SIGTERM and SIGHUP. Interrupted system calls
// are restarted, except those that never are (poll), which see EINTR.
void CatchStopSignals();

// The number of the first stop signal received, or 0 while none has come.
int StopSignal();

// From now on a second signal writes `notice` (whole lines, to stderr) and, when
// `document` is not empty, removes the file at that path first, provided it is
// still the file `id` (a file put in its place meanwhile is left alone).
// Replaces what was armed before. REQUIRES: one thread.
void ArmSecondSignal(const std::string& notice, const std::string& document = "", FileId id = {});

// From now on a second signal just ends the program.
void DisarmSecondSignal();

}  // namespace zerova

#endif  // ZEROVA_CLI_STOP_SIGNALS_H_
