// The program's one error family.
//
// Every failure a user can meet is thrown as a zerova::Error whose message reads
// "FILE: what is wrong": the file at fault first, then the fault in plain words.
// Subtypes exist only where a caller acts on the kind of failure.
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
  Error(std::string_view file, std::string_view what);

  // The file at fault, as given to the constructor.
  const std::string& file() const { return file_; }

 private:
  std::string file_;
};

// A spreadsheet file cannot be opened or is not one we can read.
class ReadError : public Error {
 public:
  using Error::Error;
};

// A file-system operation on the output document or the scratch file failed.
class FileSystemError : public Error {
 public:
  using Error::Error;
};

// Builds the FileSystemError for a failed system call, with errno's text as the detail:
// "FILE: could not ACTION: No such file or directory".
FileSystemError PosixError(std::string_view file, std::string_view action, int error_number);

}  // namespace zerova

#endif  // ZEROVA_SERVICES_ERROR_H_
