#include "conversion/failure_message.h"

#include <new>
#include <system_error>

#include "services/error.h"

namespace zerova {
namespace {

FailureMessage From(const Error& error, bool cancelled, std::string_view hint = {}) {
  FailureMessage message{error.what(), error.file(), error.detail(), cancelled};
  message.line += hint;
  message.detail += hint;
  return message;
}

}  // namespace

FailureMessage DescribeFailure(const std::exception_ptr& failure, const std::string& source,
                               const FailureHints& hints) {
  try {
    std::rethrow_exception(failure);
  } catch (const Cancelled& e) {
    return From(e, true);
  } catch (const PasswordNeeded& e) {
    return From(e, false, hints.password);
  } catch (const NotAWorksheet& e) {
    return From(e, false, hints.not_a_worksheet);
  } catch (const ScratchFileError& e) {
    return From(e, false, hints.scratch_file);
  } catch (const RefusedDocumentError& e) {
    return From(e, false, hints.refused_document);
  } catch (const Error& e) {
    return From(e, false);
  } catch (const std::bad_alloc&) {
    return From(Error(source, "not enough memory to read the file"), false);
  } catch (const std::system_error& e) {
    // A reading thread that could not be started (std::thread, under ulimit -v).
    if (e.code() == std::errc::resource_unavailable_try_again) {
      return From(Error(source, "not enough memory to start reading"), false);
    }
    return From(Error(source, e.what()), false);
  } catch (const std::exception& e) {
    return From(Error(source, e.what()), false);
  }
}

}  // namespace zerova
