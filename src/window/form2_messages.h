// What Form2 says: its message boxes and questions, its title once a file is
// chosen, and the paths it shows. Every box carries the application's title,
// kApplicationTitle.
#ifndef ZEROVA_WINDOW_FORM2_MESSAGES_H_
#define ZEROVA_WINDOW_FORM2_MESSAGES_H_

#include <string>
#include <vector>

#include "conversion/failure_message.h"
#include "window/form2_view.h"

namespace zerova {

// The application title; every message box carries it.
inline constexpr const char* kApplicationTitle = "Dizuzize";

// The success box: `message` with no icon, and under it the document's full
// path, kept on one line, then each of `notes` as a sentence of its own.
Message CompletionBox(const std::string& message, const std::string& document,
                      const std::vector<std::string>& notes);

// The box for a conversion of `source` (the spreadsheet as the user chose it)
// that ended in `failure`, as a desktop program words it: the file by its name
// in the first line ("Zerova could not convert “book.xls”.", or "... could not
// write “xmlstructure.xml”." when another file is at fault), the reason as a
// sentence under it, and the file's full path in the details. A stop the user
// asked for shows as information ("Zerova stopped converting “book.xls”."),
// not as an error.
Message FailureBox(const FailureMessage& failure, const std::string& source);

// Whether to stop the conversion, saying what Yes does: while the workbook is
// still `reading`, that nothing has been written yet; later, that the
// incomplete document will be removed.
Message StopQuestion(bool reading);

// The question for the password of the workbook `file`, saying so when the
// last one given was wrong.
PasswordQuestion PasswordQuestionFor(const std::string& file, bool previous_was_wrong);

// The window's title once `path` is chosen: "book.xls – Zerova".
std::string TitleNaming(const std::string& path);

// `text` as a sentence: its first letter, when an ASCII one, capitalised, and a
// full stop after it, unless it already ends a sentence.
std::string AsSentence(std::string text);

// The last part of `path`, its file's name ("" when it ends with a separator).
std::string FileNameOf(const std::string& path);

// `path` made absolute from the current folder, its "." and ".." parts and
// doubled separators taken out; as it is when the current folder is unknown.
std::string FullPath(const std::string& path);

// True iff `path` names a regular file, or a symbolic link to one.
bool IsRegularFile(const std::string& path);

}  // namespace zerova

#endif  // ZEROVA_WINDOW_FORM2_MESSAGES_H_
