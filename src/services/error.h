// The program's one error family.
//
// Every failure a user can meet is thrown as a zerova::Error whose message reads
// "FILE: what is wrong": the file at fault first, then the fault in plain words.
// The message is always one line of valid UTF-8, whatever bytes the file's name
// holds (see PrintableText). Subtypes exist only where a caller acts on the kind of
// failure.
//
// Errors are for bad input and failed I/O. A broken internal invariant is an
// assert, never an Error.
#ifndef ZEROVA_SERVICES_ERROR_H_
#define ZEROVA_SERVICES_ERROR_H_

#include <stdexcept>
#include <string>
#include <string_view>

namespace zerova {

class Error : public std::runtime_error {
 public:
  // The message is "`file`: `what`"; with an empty `file` it is "`what`" alone.
  // Both parts pass through PrintableText.
  Error(std::string_view file, std::string_view what);

  // The file at fault and the fault, as given to the constructor.
  const std::string& file() const { return file_; }
  const std::string& detail() const { return detail_; }

 private:
  std::string file_;
  std::string detail_;
};

// A spreadsheet file cannot be opened or is not one we can read.
class ReadError : public Error {
 public:
  using Error::Error;
};

// The sheet a conversion would read is no worksheet (a chart, say): the one who
// runs it may say how to choose another.
class NotAWorksheet : public ReadError {
 public:
  using ReadError::ReadError;
};

// A password-protected workbook for which no password was given: the one who
// runs the conversion may say how to give one (conversion/failure_message.h).
class PasswordNeeded : public ReadError {
 public:
  using ReadError::ReadError;
};

// A file-system operation on the output document or the scratch file failed.
class FileSystemError : public Error {
 public:
  using Error::Error;
};

// The scratch file renewed before each line cannot be renewed; found before the
// document is touched. Whoever runs the conversion may say how to do without it.
class ScratchFileError : public FileSystemError {
 public:
  using FileSystemError::FileSystemError;
};

// The file in the default document's place is not the run's to empty (read-only,
// also under another name, another user's in a folder open to all); found before
// it is touched. Whoever runs the conversion may say how to write a new file.
class RefusedDocumentError : public FileSystemError {
 public:
  using FileSystemError::FileSystemError;
};

// The file a run writes was replaced by another one under the same name while
// the run was writing it; nothing was written to the other file.
class ReplacedFileError : public FileSystemError {
 public:
  using FileSystemError::FileSystemError;
};

// The user stopped the conversion (the window's Exit, an interrupt on the
// command line). The run has removed the incomplete document, if it had begun one.
class Cancelled : public Error {
 public:
  using Error::Error;
};

// The refusal of a file that is damaged: "FILE: the file is damaged: FACT",
// with "(DETAIL)" after it when a technical detail is given. FACT says in plain
// words what is wrong ("a record is cut short"); DETAIL is for whoever looks
// closer ("record 0x00FC (SST), 12 of 20 bytes"). A library's own message is
// never the fact, at most part of the detail.
ReadError Damaged(std::string_view file, std::string_view fact, std::string_view detail = {});

// Builds the FileSystemError for a failed system call, with errno's text as the detail:
// "FILE: could not ACTION: No such file or directory"; a limit the user may raise
// is named after it ("Too many open files (raise the limit with ulimit -n)").
FileSystemError PosixError(std::string_view file, std::string_view action, int error_number);

// `text` made fit for a one-line message of valid UTF-8: TAB, LF and CR become
// \t, \n and \r; every other control character (C0, DEL, C1) and the line and
// paragraph separators U+2028 and U+2029 become their UTF-8 bytes as \xNN; each
// byte that does not begin a well-formed UTF-8 sequence becomes \xNN. Everything
// else, backslashes included, is kept, so text that needs nothing passes unchanged
// and PrintableText(PrintableText(t)) == PrintableText(t).
std::string PrintableText(std::string_view text);

}  // namespace zerova

#endif  // ZEROVA_SERVICES_ERROR_H_
