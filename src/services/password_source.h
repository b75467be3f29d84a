// PasswordSource: where the spreadsheet service gets the password of a
// password-protected workbook.
//
// The service tries Excel's default password first, silently (a workbook saved
// "read-only recommended" or with only a password to modify is encrypted with
// it); it asks the source only when that fails. The window answers with a dialog,
// the command line with a password file, an environment variable or a prompt on
// the terminal. The service holds a password only while it derives the key.
#ifndef ZEROVA_SERVICES_PASSWORD_SOURCE_H_
#define ZEROVA_SERVICES_PASSWORD_SOURCE_H_

#include <optional>
#include <string>

#include "services/secret.h"

namespace zerova {

class PasswordSource {
 public:
  PasswordSource() = default;
  PasswordSource(const PasswordSource&) = delete;
  PasswordSource& operator=(const PasswordSource&) = delete;
  virtual ~PasswordSource() = default;

  // The password (UTF-8) to try on the workbook `file`, or nullopt when there is
  // none to give: the user declined, or the source has nothing more to offer.
  // `previous_was_wrong` is true when the last password this source gave for
  // `file` did not open it. The service calls it from the thread that opens the
  // workbook, one call at a time, and asks again after each wrong password.
  virtual std::optional<SecretBytes> Password(const std::string& file, bool previous_was_wrong) = 0;
};

}  // namespace zerova

#endif  // ZEROVA_SERVICES_PASSWORD_SOURCE_H_
