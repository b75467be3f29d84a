// The one mapping of failures to messages: each kind with the hint the program
// gives for it, and what no zerova::Error says in our words.
#include "conversion/failure_message.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <system_error>

#include "services/error.h"

namespace zerova {
namespace {

TEST(FailureMessageTest, EachKindGetsItsHintAndEveryMessageIsOurs) {
  const FailureHints hints = {"; password hint", "; scratch hint", "; sheet hint"};
  const struct {
    std::exception_ptr failure;
    std::string line;
    bool cancelled;
  } rows[] = {
      {std::make_exception_ptr(PasswordNeeded("a.xls", "needs a password")),
       "a.xls: needs a password; password hint", false},
      {std::make_exception_ptr(ScratchFileError("/p/xmlstr.xml", "cannot be renewed")),
       "/p/xmlstr.xml: cannot be renewed; scratch hint", false},
      {std::make_exception_ptr(NotAWorksheet("a.xls", "the sheet is a chart")),
       "a.xls: the sheet is a chart; sheet hint", false},
      {std::make_exception_ptr(FileSystemError("/w/doc.xml", "could not write")),
       "/w/doc.xml: could not write", false},
      {std::make_exception_ptr(Cancelled("a.xls", "stopped")), "a.xls: stopped", true},
      {std::make_exception_ptr(std::bad_alloc()), "a.xls: not enough memory to read the file",
       false},
      {std::make_exception_ptr(std::system_error(
           std::make_error_code(std::errc::resource_unavailable_try_again), "thread")),
       "a.xls: not enough memory to start reading", false},
      {std::make_exception_ptr(std::runtime_error("odd")), "a.xls: odd", false},
  };
  for (const auto& row : rows) {
    const FailureMessage message = DescribeFailure(row.failure, "a.xls", hints);
    EXPECT_EQ(message.line, row.line);
    EXPECT_EQ(message.cancelled, row.cancelled) << row.line;
  }
}

}  // namespace
}  // namespace zerova
