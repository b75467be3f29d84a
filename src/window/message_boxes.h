// The window's message boxes: the end of a conversion, a failure, and the
// question whether to stop. Each is modal over the window, carries the
// application's title (kApplicationTitle) and returns once it is answered.
#ifndef ZEROVA_WINDOW_MESSAGE_BOXES_H_
#define ZEROVA_WINDOW_MESSAGE_BOXES_H_

#include <QString>
#include <string>

#include "conversion/failure_message.h"

class QWidget;

namespace zerova {

// The success box: `message` with no icon, and under it `informative` (the
// document's full path, say), as wide as it needs up to 800 pixels, so a path
// is not broken at its slashes.
void ShowDone(QWidget* parent, const QString& message, const QString& informative);

// The box for a conversion of `source` (the spreadsheet as the user chose it)
// that ended in `failure`, as a desktop program words it: the file by its name
// in the first line ("Zerova could not convert “book.xls”.", or "... could not
// write “xmlstructure.xml”." when another file is at fault), the reason as a
// sentence under it, and the file's full path in the details. A stop the user
// asked for shows as information ("Zerova stopped converting “book.xls”."),
// not as an error.
void ShowFailure(QWidget* parent, const FailureMessage& failure, const std::string& source);

// Asks whether to stop the conversion, saying what Yes does: while the workbook
// is still `reading`, that nothing has been written yet; later, that the
// incomplete document will be removed. No is the default. True on Yes.
bool AskToStopConversion(QWidget* parent, bool reading);

// `text` as a sentence: its first letter capitalised and a full stop after it,
// unless it already ends a sentence.
QString AsSentence(const QString& text);

}  // namespace zerova

#endif  // ZEROVA_WINDOW_MESSAGE_BOXES_H_
