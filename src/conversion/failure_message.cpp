#include "conversion/failure_message.h"

#include <new>

#include "services/error.h"

namespace zerova {
namespace {

FailureMessage From(const Error& error, bool cancelled) {
  return {error.what(), error.file(), error.detail(), cancelled};
}

}  // namespace

FailureMessage DescribeFailure(const std::exception_ptr& failure, const std::string& source,
                               std::string_view password_hint) {
  try {
    std::rethrow_exception(failure);
  } catch (const Cancelled& e) {
    return From(e, true);
  } catch (const PasswordNeeded& e) {
    FailureMessage message = From(e, false);
    message.line += password_hint;
    message.detail += password_hint;
    return message;
  } catch (const Error& e) {
    return From(e, false);
  } catch (const std::bad_alloc&) {
    return From(Error(source, "not enough memory to read the file"), false);
  } catch (const std::exception& e) {
    return From(Error(source, e.what()), false);
  }
}

}  // namespace zerova
