// A command line for CreateProcessW, which takes one string: each argument
// quoted so that the program started reads it back as it was given.
#ifndef ZEROVA_PLATFORM_WINDOWS_ARGUMENT_QUOTING_H_
#define ZEROVA_PLATFORM_WINDOWS_ARGUMENT_QUOTING_H_

#include <string>
#include <string_view>
#include <vector>

namespace zerova {

// The command line that starts `program` with `arguments` (its name
// excluded): the program's path in quotes (a path holds none), then each
// argument, quoted where it needs to be, as CommandLineToArgvW and the C
// runtime's startup split a command line: between quotes, white space is
// kept; a quote is escaped by a backslash; backslashes are literal except
// before a quote, where each one is doubled.
std::wstring CommandLineFor(std::wstring_view program, const std::vector<std::wstring>& arguments);

}  // namespace zerova

#endif  // ZEROVA_PLATFORM_WINDOWS_ARGUMENT_QUOTING_H_
