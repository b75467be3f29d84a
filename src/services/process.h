// The running program's own pieces that differ by platform: its arguments,
// its standard streams, its folder of work, and the starting of another
// program in its stead. Each platform implements them in its folder under
// src/platform/.
#ifndef ZEROVA_SERVICES_PROCESS_H_
#define ZEROVA_SERVICES_PROCESS_H_

#include <cstdio>
#include <string>
#include <vector>

namespace zerova {

// The program's arguments as UTF-8, its name first: `argv` as it is on POSIX
// systems; on Windows the command line as the system keeps it, in UTF-16,
// converted (the bytes of `argv` are in the ANSI code page, which loses what it
// cannot show).
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Gets the standard streams ready for a workbook's bytes and UTF-8 text: on
// Windows, standard input in binary mode (no byte taken for the end of the
// input) and the console's code pages UTF-8; standard output and error stay
// text, their lines ending in CR LF as Windows' do (a document sent to
// standard output has a binary stream of its own: output_stream.h). Nothing on
// POSIX systems.
void PrepareStandardStreams();

// True iff `stream` is a terminal (a console on Windows).
bool IsTerminal(std::FILE* stream);

// True iff a program that can be started stands at `path`.
bool IsProgram(const std::string& path);

// Starts the program at `path` with `arguments` (its name excluded) in this
// one's stead: on POSIX systems this process becomes it (exec), and the call
// returns only when that fails; on Windows it is started on its own and the
// call returns at once. Returns "" when it started, else why it did not.
std::string StartProgramInstead(const std::string& path, const std::vector<std::string>& arguments);

// The user's home folder, "" when it cannot be found.
std::string HomeFolder();

// Makes `folder` the current folder. Returns "" when it did, else why it did not.
std::string ChangeFolder(const std::string& folder);

}  // namespace zerova

#endif  // ZEROVA_SERVICES_PROCESS_H_
