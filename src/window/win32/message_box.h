// Form2's message boxes and its Yes/No question, as Windows task dialogs over
// the window: the box's title, its first line as the main instruction, the
// informative text under it, and the details behind the dialog's own
// "See details" control.
#ifndef ZEROVA_WINDOW_WIN32_MESSAGE_BOX_H_
#define ZEROVA_WINDOW_WIN32_MESSAGE_BOX_H_

#include <windows.h>

#include "window/form2_view.h"

namespace zerova {

// Shows `message` with an OK button, modal over `owner`, until it is closed.
void ShowMessageBox(HWND owner, const Message& message);

// Asks `question` with Yes and No, No the default: true on Yes; false on No,
// Escape or a close.
bool AskInMessageBox(HWND owner, const Message& question);

}  // namespace zerova

#endif  // ZEROVA_WINDOW_WIN32_MESSAGE_BOX_H_
