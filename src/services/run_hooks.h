// RunHooks: what a conversion run tells the program that started it, and asks of it.
//
// The window implements them with its controls and message box; the command line
// with its output streams and stop signals; tests with fakes that record the
// calls. Every hook does nothing by default, so a program overrides only what it
// uses. The run calls every hook from its own thread, one call at a time; an
// implementation that draws on another thread hands the calls over itself (the
// window's MarshalledHooks does).
#ifndef ZEROVA_SERVICES_RUN_HOOKS_H_
#define ZEROVA_SERVICES_RUN_HOOKS_H_

#include <cstdint>
#include <string>

namespace zerova {

class RunHooks {
 public:
  virtual ~RunHooks() = default;

  // Disables the Convert button, so no second run can start.
  virtual void DisableConvert() {}

  // Makes the progress line visible, and painted, before the work begins.
  virtual void ShowProgress() {}

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

  // Tells the user the conversion is done and waits until they have seen it.
  // `note`, when not empty, is a sentence to show with it (cells left out).
  virtual void ShowCompletion(const std::string& /*message*/, const std::string& /*note*/) {}

  // Ends the program with success once the run returns. No handler runs after.
  virtual void EndProgram() {}
};

}  // namespace zerova

#endif  // ZEROVA_SERVICES_RUN_HOOKS_H_
