// WindowHooks: what the conversion run asks of the window.
//
// The window implements them with its controls and message box; the command
// line with its output streams; tests with fakes that record the calls.
#ifndef ZEROVA_SERVICES_WINDOW_HOOKS_H_
#define ZEROVA_SERVICES_WINDOW_HOOKS_H_

#include <string>

namespace zerova {

class WindowHooks {
 public:
  virtual ~WindowHooks() = default;

  // Disables the Convert button, so no second run can start.
  virtual void DisableConvert() = 0;

  // Makes the progress line visible, and painted, before the work begins.
  virtual void ShowProgress() = 0;

  // Tells the user the conversion is done and waits until they have seen it.
  virtual void ShowCompletion(const std::string& message) = 0;

  // Ends the program with success once the run returns. No handler runs after.
  virtual void EndProgram() = 0;
};

}  // namespace zerova

#endif  // ZEROVA_SERVICES_WINDOW_HOOKS_H_
