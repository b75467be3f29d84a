// The window's password question: a modal dialog with a masked entry, and the
// password source that shows it from whichever thread opens the workbook.
#ifndef ZEROVA_WINDOW_PASSWORD_DIALOG_H_
#define ZEROVA_WINDOW_PASSWORD_DIALOG_H_

#include <QString>
#include <memory>
#include <optional>

#include "services/password_source.h"

class QWidget;

namespace zerova {

// The password dialog's window title.
inline constexpr const char* kPasswordDialogTitle = "Password";

// Asks the user for the password of one workbook.
class PasswordPrompt {
 public:
  virtual ~PasswordPrompt() = default;

  // Shows a modal dialog over `parent` naming the file `file_name` (saying the
  // last password was wrong when `previous_was_wrong`) and returns what the user
  // typed, or nullopt when they cancel. REQUIRES: on the GUI thread.
  virtual std::optional<QString> Ask(QWidget* parent, const QString& file_name,
                                     bool previous_was_wrong) = 0;
};

// The real dialog: the question, a masked line edit (named "Password" for
// screen readers), OK and Cancel.
std::unique_ptr<PasswordPrompt> NewPasswordDialog();

// The window's PasswordSource: asks through `prompt`, over `window`, on the
// window's thread. Called from that thread it asks at once; called from another
// (a conversion on a worker thread) it hands the question to the window's thread
// and waits for the answer. The typed text is wiped once it is copied out.
class WindowPasswords final : public PasswordSource {
 public:
  // `window` must outlive every call to Password.
  WindowPasswords(QWidget* window, std::unique_ptr<PasswordPrompt> prompt);

  std::optional<SecretBytes> Password(const std::string& file, bool previous_was_wrong) override;

  // True once the user has cancelled a question: the refusal that follows is
  // their choice. REQUIRES: on the window's thread.
  bool declined() const { return declined_; }

 private:
  std::optional<SecretBytes> AskHere(const std::string& file, bool previous_was_wrong);

  QWidget* window_;
  std::unique_ptr<PasswordPrompt> prompt_;
  bool declined_ = false;  // written on the window's thread only
};

}  // namespace zerova

#endif  // ZEROVA_WINDOW_PASSWORD_DIALOG_H_
