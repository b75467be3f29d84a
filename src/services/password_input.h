// Where the command line reads a password from: a file, the environment, or the
// user at the terminal (the console on Windows), without echo.
//
// Each platform implements these in its folder under src/platform/. A
// password's bytes only ever live in SecretBytes, or in memory wiped at once.
#ifndef ZEROVA_SERVICES_PASSWORD_INPUT_H_
#define ZEROVA_SERVICES_PASSWORD_INPUT_H_

#include <functional>
#include <optional>
#include <string>

#include "services/secret.h"

namespace zerova {

// The first line of the file at `path`, without its line end; an empty file
// holds the empty password. A pipe or a FIFO there is awaited as standard input
// is: `check_stop` is called before each wait and whenever a signal comes, and
// ends the reading by what it throws. Throws FileSystemError naming `path` when
// it cannot be read.
SecretBytes ReadPasswordFile(const std::string& path, const std::function<void()>& check_stop);

// True iff standard input is a terminal, so that the user may be asked.
bool StandardInputIsTerminal();

// Asks the user at the terminal for the password of `file`, with echo off,
// saying first "The password is wrong." when `previous_was_wrong`. Returns
// nullopt when there is no terminal to ask or its input ends before a line.
// The wait calls `check_stop` as ReadPasswordFile does; echo is back on
// however it ends.
std::optional<SecretBytes> PromptForPassword(const std::string& file, bool previous_was_wrong,
                                             const std::function<void()>& check_stop);

// The value of the environment variable `name`, taken once: wiped from the
// memory the environment came in and the variable removed, so that programs
// started later do not inherit it and the process's environment no longer
// shows it. nullopt when the variable is not set.
std::optional<SecretBytes> TakeEnvironmentSecret(const char* name);

}  // namespace zerova

#endif  // ZEROVA_SERVICES_PASSWORD_INPUT_H_
