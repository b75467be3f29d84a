// The command line's help (--help), and the line that follows a usage error.
#ifndef ZEROVA_CLI_HELP_H_
#define ZEROVA_CLI_HELP_H_

#include <string>

namespace zerova {

// The second line of every usage error, after "zerova: REASON".
inline constexpr char kTryHelp[] = "Try 'zerova --help' for more information.";

// The help: usage, every option, the exit statuses and the formats read (from
// the registry), every line within 80 columns.
std::string HelpText();

}  // namespace zerova

#endif  // ZEROVA_CLI_HELP_H_
