// The headless command line: `zerova FILE` converts without a window.
#ifndef ZEROVA_UI_COMMAND_LINE_H_
#define ZEROVA_UI_COMMAND_LINE_H_

namespace zerova {

// Runs the command line on `argc`/`argv` (as main receives them, with at least
// one argument after the program name) and returns the exit status: 0 after a
// conversion, 1 after a failure (one line on stderr), 2 for a usage error, and
// 128 plus the signal's number when SIGINT or SIGTERM stopped the conversion
// (one line on stderr; the incomplete document removed).
int RunCommandLine(int argc, char** argv);

// Prints the usage text to stdout (`to_stderr` false) or stderr.
void PrintUsage(bool to_stderr);

}  // namespace zerova

#endif  // ZEROVA_UI_COMMAND_LINE_H_
