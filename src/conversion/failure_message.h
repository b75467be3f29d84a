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

// What a program adds to a failure of some kinds: how to do, its own way,
// what the user is asked to ("; give it with --password-file PWFILE ...").
// Each is appended to the message as it stands.
struct FailureHints {
  std::string_view password;          // a workbook that needs one (PasswordNeeded)
  std::string_view scratch_file;      // a scratch file that cannot be renewed
  std::string_view not_a_worksheet;   // the sheet chosen is a chart, say (NotAWorksheet)
  std::string_view refused_document;  // the default document may not be emptied
};

// Describes `failure`, thrown by a conversion of `source` (the spreadsheet as
// the user gave it): a zerova::Error as its message says, with the hint of its
// kind; running out of memory as "SOURCE: not enough memory to read the file",
// and a thread that cannot be started as "SOURCE: not enough memory to start
// reading"; any other exception as "SOURCE: " and its text.
FailureMessage DescribeFailure(const std::exception_ptr& failure, const std::string& source,
                               const FailureHints& hints = {});

}  // namespace zerova

#endif  // ZEROVA_CONVERSION_FAILURE_MESSAGE_H_
