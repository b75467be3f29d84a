// The password question drawn as a Qt dialog: the question's text, a masked
// entry, OK and Cancel.
#ifndef ZEROVA_WINDOW_QT_PASSWORD_DIALOG_H_
#define ZEROVA_WINDOW_QT_PASSWORD_DIALOG_H_

#include <QString>
#include <memory>
#include <optional>

#include "window/form2_view.h"

class QWidget;

namespace zerova {

// Asks the user for the password of one workbook.
class PasswordPrompt {
 public:
  virtual ~PasswordPrompt() = default;

  // Shows a modal dialog over `parent` asking `question` and returns what the
  // user typed, or nullopt when they cancel. REQUIRES: on the UI thread.
  virtual std::optional<QString> Ask(QWidget* parent, const PasswordQuestion& question) = 0;
};

// The real dialog: the question, a masked line edit (named for screen readers
// as the question says), OK and Cancel. The entry is emptied before it goes.
std::unique_ptr<PasswordPrompt> NewPasswordDialog();

}  // namespace zerova

#endif  // ZEROVA_WINDOW_QT_PASSWORD_DIALOG_H_
