// FailureMessage: what the user is told when a conversion ends without a
// document; the one mapping from failures to messages, for the command line
// and the window alike.
#ifndef ZEROVA_CONVERSION_FAILURE_MESSAGE_H_
#define ZEROVA_CONVERSION_FAILURE_MESSAGE_H_

#include <exception>
#include <string>
#include <string_view>

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
// "SOURCE: " and its text. A workbook that needs a password (PasswordNeeded)
// has `password_hint` appended, saying how to give one ("; give it with
// --password-file PWFILE ..." on the command line; the window asks instead).
FailureMessage DescribeFailure(const std::exception_ptr& failure, const std::string& source,
                               std::string_view password_hint = {});

}  // namespace zerova

#endif  // ZEROVA_CONVERSION_FAILURE_MESSAGE_H_
