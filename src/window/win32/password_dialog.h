// The question for a workbook's password on Win32: a modal dialog over the
// window, made from a template built in memory, with the question, a masked
// entry named for screen readers by the label before it, OK and Cancel.
#ifndef ZEROVA_WINDOW_WIN32_PASSWORD_DIALOG_H_
#define ZEROVA_WINDOW_WIN32_PASSWORD_DIALOG_H_

#include <windows.h>

#include <optional>

#include "services/secret.h"
#include "window/form2_view.h"

namespace zerova {

// What the user typed, in UTF-8, or nullopt on Cancel, Escape or a close.
// Every copy of the typed text made on the way is wiped, and the entry emptied.
std::optional<SecretBytes> AskInPasswordDialog(HWND owner, const PasswordQuestion& question);

}  // namespace zerova

#endif  // ZEROVA_WINDOW_WIN32_PASSWORD_DIALOG_H_
