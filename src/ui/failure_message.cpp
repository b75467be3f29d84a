#include "ui/failure_message.h"

#include <new>

#include "services/error.h"

namespace zerova {
namespace {

constexpr char kPasswordHint[] =
    "; give it with --password-file PWFILE or in the environment variable ZEROVA_PASSWORD";

FailureMessage From(const Error& error, bool cancelled) {
  return {error.what(), error.file(), error.detail(), cancelled};
}

// DescribeFailure, with the command line's hint for a password when `command_line`.
FailureMessage Describe(const std::exception_ptr& failure, const std::string& source,
                        bool command_line) {
  try {
    std::rethrow_exception(failure);
  } catch (const Cancelled& e) {
    return From(e, true);
  } catch (const PasswordNeeded& e) {
    FailureMessage message = From(e, false);
    if (command_line) {
      message.line += kPasswordHint;
      message.detail += kPasswordHint;
    }
    return message;
  } catch (const Error& e) {
    return From(e, false);
  } catch (const std::bad_alloc&) {
    return From(Error(source, "not enough memory to read the file"), false);
  } catch (const std::exception& e) {
    return From(Error(source, e.what()), false);
  }
}

}  // namespace

FailureMessage DescribeFailure(const std::exception_ptr& failure, const std::string& source) {
  return Describe(failure, source, false);
}

FailureMessage DescribeCommandLineFailure(const std::exception_ptr& failure,
                                          const std::string& source) {
  return Describe(failure, source, true);
}

}  // namespace zerova
