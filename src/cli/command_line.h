// The headless command line: `zerova [OPTION]... FILE...` converts without a
// window (the options: cli/options.h; the help: cli/help.h).
#ifndef ZEROVA_CLI_COMMAND_LINE_H_
#define ZEROVA_CLI_COMMAND_LINE_H_

namespace zerova {

// Runs the command line on `argc`/`argv` (as main receives them, with at least
// one argument after the program name) and returns the exit status:
//  0  every FILE converted (or listed, or the help or version shown);
//  1  a failure: one line on stderr per failing FILE, "zerova: FILE: what is
//     wrong"; with --outdir the other FILEs are still converted;
//  2  a usage error: "zerova: REASON" and a line pointing to --help, on stderr;
//     nothing is read or written;
//  3  with --fail-empty, a document without nodes (written, its note said),
//     and no failure;
//  128 + N  stop signal N (services/stop_signals.h) stopped it: one line on stderr;
//     stopped while reading, an earlier document is untouched; while writing,
//     the incomplete document is removed. A second signal ends the program at
//     once by that signal, removing the incomplete document too.
int RunCommandLine(int argc, char** argv);

}  // namespace zerova

#endif  // ZEROVA_CLI_COMMAND_LINE_H_
