// RunHooks: what a conversion run tells the program that started it, and asks of it.
//
// The run says what happened (it started, how far it got, that it finished);
// the program decides what that means for it. The window implements them with
// its controls and message box; the command line with its output streams and
// stop signals; tests with fakes that record the calls. Every hook does
// nothing by default, so a program overrides only what it uses. The run calls
// every hook from its own thread, one call at a time; an implementation that
// draws on another thread hands the calls over itself (the window's
// MarshalledHooks does).
#ifndef ZEROVA_SERVICES_RUN_HOOKS_H_
#define ZEROVA_SERVICES_RUN_HOOKS_H_

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "services/file_system.h"

namespace zerova {

// The document a run is writing, as far as a sudden end of the program (a
// second stop signal, which ends it at once) must know it: what to remove and
// what to say.
struct DocumentAtStake {
  // Begun: a stop leaves `left` ("the incomplete document was removed"), after
  // removing `removable` ("" none) provided it is still the file `id`.
  static DocumentAtStake Begun(std::string document, std::string removable, FileId id,
                               std::string left) {
    return {std::move(document), false, std::move(removable), id, std::move(left)};
  }
  // Whole and in place: nothing to remove, the work is done.
  static DocumentAtStake Complete(std::string document) {
    return {std::move(document), true, "", {}, ""};
  }

  std::string document;  // as messages name it: its full path, or the stream's name
  bool complete = false;
  std::string removable;
  FileId id;
  std::string left;
};

class RunHooks {
 public:
  virtual ~RunHooks() = default;

  // The run has begun, before the workbook is read: called once, first, and
  // returns once the program has shown it (the window, that it is converting).
  virtual void RunStarted() {}

  // Says how far reading the workbook has got: `done` of its `total` bytes are
  // consumed (total > 0). Called every 64 KB or so of input, so it must be cheap.
  virtual void ShowInputRead(std::uint64_t /*done*/, std::uint64_t /*total*/) {}

  // Says how far the document has got: `lines_written` of the `lines_total` lines
  // the run will write are in it (0 < lines_written <= lines_total). Called after
  // every line, so it must be cheap.
  virtual void ShowLinesWritten(std::int64_t /*lines_written*/, std::int64_t /*lines_total*/) {}

  // True once the user has asked to stop the conversion. Asked often while the
  // workbook is read, and after every line but the last; may block while the
  // user is being asked.
  virtual bool StopRequested() { return false; }

  // The document has begun (before an earlier one is emptied or the first line
  // is written), and later is complete. Called once each, in that order.
  virtual void DocumentChanged(const DocumentAtStake& /*document*/) {}

  // Tells the user the conversion is done and waits until they have seen it.
  // Each of `notes` is a sentence to show with it (cells left out, no nodes).
  virtual void ShowCompletion(const std::string& /*message*/,
                              const std::vector<std::string>& /*notes*/) {}

  // The run has ended with success, after ShowCompletion: called once, last.
  // What follows is the program's choice (the window ends, a batch goes on).
  virtual void RunFinished() {}
};

}  // namespace zerova

#endif  // ZEROVA_SERVICES_RUN_HOOKS_H_
