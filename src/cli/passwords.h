// CommandLinePasswords: the command line's answer when a workbook needs a password.
//
// In order: the first line of the password file (--password-file FILE), else the
// environment variable ZEROVA_PASSWORD, else, when standard input is a terminal,
// a prompt on the terminal (services/password_input.h) that reads the password without echo and
// asks again after a wrong one, three times in all. A password is never taken
// from the command line itself, where the process list would show it. A password
// file that is a pipe or a FIFO, and the terminal, are awaited as standard input
// is: a stop signal ends the wait.
#ifndef ZEROVA_CLI_PASSWORDS_H_
#define ZEROVA_CLI_PASSWORDS_H_

#include <functional>
#include <optional>
#include <string>

#include "services/password_source.h"

namespace zerova {

// The environment variable that may hold the password.
inline constexpr char kPasswordVariable[] = "ZEROVA_PASSWORD";

// ZEROVA_PASSWORD's value, taken once (TakeEnvironmentSecret): wiped from the
// environment, so that programs started later do not inherit it. nullopt when
// the variable is not set.
std::optional<SecretBytes> TakePasswordFromEnvironment();

class CommandLinePasswords final : public PasswordSource {
 public:
  // `password_file` is the --password-file argument, or empty for none;
  // `environment` what TakePasswordFromEnvironment gave (null: none), which
  // must outlive this object. `before_prompt`, when set, is called before the
  // terminal is asked (to erase a progress line there).
  CommandLinePasswords(std::string password_file, const std::optional<SecretBytes>* environment,
                       std::function<void()> before_prompt = {});

  // The file's or the variable's password once (nullopt after it was wrong), or
  // one typed at the prompt. Throws FileSystemError naming the password file when
  // it cannot be read, and Cancelled naming `file` when a stop signal comes while
  // the password is awaited.
  std::optional<SecretBytes> Password(const std::string& file, bool previous_was_wrong) override;

 private:
  std::string password_file_;
  const std::optional<SecretBytes>* environment_;
  std::function<void()> before_prompt_;
  int asked_ = 0;  // how many times the source has been asked
};

}  // namespace zerova

#endif  // ZEROVA_CLI_PASSWORDS_H_
