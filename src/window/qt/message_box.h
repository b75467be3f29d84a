// Form2's message boxes drawn as QMessageBoxes: modal over the window, each
// returning once it is answered.
#ifndef ZEROVA_WINDOW_QT_MESSAGE_BOX_H_
#define ZEROVA_WINDOW_QT_MESSAGE_BOX_H_

#include "window/form2_view.h"

class QWidget;

namespace zerova {

// `message` with an OK button. An informative text kept on one line widens the
// box up to 800 pixels, so a path is not broken at its slashes.
void ShowMessageBox(QWidget* parent, const Message& message);

// `question` with Yes and No, No the default. True on Yes.
bool AskInMessageBox(QWidget* parent, const Message& question);

}  // namespace zerova

#endif  // ZEROVA_WINDOW_QT_MESSAGE_BOX_H_
