// FailureMessage: what the user is told when a conversion ends without a
// document, the one mapping from failures to messages for the command line
// and the window alike.
#ifndef ZEROVA_UI_FAILURE_MESSAGE_H_
#define ZEROVA_UI_FAILURE_MESSAGE_H_

#include <exception>
#include <string>

namespace zerova {

struct FailureMessage {
  // The one line: "FILE: what is wrong" (without the program's name).
  std::string line;
  // The file at fault, as the line names it ("" when none), and the fault alone.
  std::string file;
  std::string detail;
  // The user asked to stop (Cancelled): no alarm, just what became of the document.
  bool cancelled = false;
};

// Describes `failure`, thrown by a conversion of `source` (the spreadsheet as
// the user gave it): a zerova::Error as its message says; running out of memory
// as "SOURCE: not enough memory to read the file"; any other exception as
// "SOURCE: " and its text.
FailureMessage DescribeFailure(const std::exception_ptr& failure, const std::string& source);

// The same for the command line, where a workbook that needs a password
// (PasswordNeeded) is told how to give one: "...; give it with --password-file
// PWFILE or in the environment variable ZEROVA_PASSWORD". The window asks for a
// password instead.
FailureMessage DescribeCommandLineFailure(const std::exception_ptr& failure,
                                          const std::string& source);

}  // namespace zerova

#endif  // ZEROVA_UI_FAILURE_MESSAGE_H_
