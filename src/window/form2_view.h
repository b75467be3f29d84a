// Form2View: what Form2 asks of the toolkit that draws it.
//
// Form2 (form2.h) holds what the window does and talks to its toolkit through
// this interface alone: window/qt/ implements it with Qt Widgets, and another
// toolkit's window would implement it the same way. A view draws the controls
// of the layout (form2_layout.h), each with the place, caption, font and colour
// given there, and tells its Form2 what the user does: a click, a file
// dropped, a close.
//
// Every operation but Post is called on the UI thread, the one that made the
// view. Text is UTF-8, paths as the file system names them. ShowMessage and
// the three questions are modal: they return once the user has answered, the
// window's events going on meanwhile.
#ifndef ZEROVA_WINDOW_FORM2_VIEW_H_
#define ZEROVA_WINDOW_FORM2_VIEW_H_

#include <functional>
#include <optional>
#include <string>

#include "services/secret.h"
#include "window/form2_layout.h"

namespace zerova {

enum class MessageIcon { kNone, kInformation, kCritical, kQuestion };

// A message box, or a question answered Yes or No.
struct Message {
  MessageIcon icon = MessageIcon::kNone;
  std::string title;
  std::string text;         // the first line
  std::string informative;  // under it; "" for none
  std::string details;      // shown on request ("Show Details"); "" for none
  // The informative text is kept on one line as far as the screen allows (it
  // is a path, which should not be broken at its separators).
  bool informative_on_one_line = false;
};

// The question for a workbook's password.
struct PasswordQuestion {
  std::string file_name;  // the workbook's, as the text names it
  bool previous_was_wrong = false;
  std::string title;
  std::string text;
  std::string entry_name;  // the masked entry's, for screen readers
};

class Form2View {
 public:
  virtual ~Form2View() = default;

  virtual void SetEnabled(Control control, bool enabled) = 0;
  virtual void SetVisible(Control control, bool visible) = 0;
  // Draws `control` now, before the UI thread goes back to its events.
  virtual void PaintNow(Control control) = 0;
  virtual void SetFocus(Control control) = 0;
  // The text shown when the pointer rests on `control`.
  virtual void SetToolTip(Control control, const std::string& text) = 0;
  // The window's title, as the desktop shows it.
  virtual void SetTitle(const std::string& title) = 0;
  // The progress bar at `value`, from 0 to kProgressMaximum.
  virtual void SetProgress(int value) = 0;

  virtual void ShowMessage(const Message& message) = 0;
  // True on Yes; No is the default.
  virtual bool AskYesNo(const Message& question) = 0;
  // What the user typed in a masked entry, or nullopt when they cancel.
  virtual std::optional<SecretBytes> AskPassword(const PasswordQuestion& question) = 0;
  // The open-file dialog, for one existing file of the types `filter` offers
  // ("Description|pattern;pattern|Description|pattern", the first chosen): the
  // file's full path, or "" when the user cancels.
  virtual std::string ShowOpen(const std::string& filter) = 0;

  // Any thread: runs `task` on the UI thread later, in the order posted. A
  // task still waiting when the view is destroyed is dropped, never run.
  virtual void Post(std::function<void()> task) = 0;
  // Ends the program with `status` once the UI thread is back at its events.
  virtual void EndProgram(int status) = 0;
};

}  // namespace zerova

#endif  // ZEROVA_WINDOW_FORM2_VIEW_H_
