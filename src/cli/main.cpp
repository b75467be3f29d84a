// The program's start: with a file, the headless command line; with none (or
// --from-menu, as the desktop's menu starts it, perhaps with the one file it was
// asked to open), the window. The window lives in its own executable,
// zerova-window, so a conversion from the command line never loads the window toolkit.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "services/error.h"
#include "services/file_system.h"
#include "services/process.h"

namespace {

// The window's program, ZEROVA_WINDOW_PROGRAM ("zerova-window", with ".exe" on
// Windows) beside this program (the build tree, or a Windows installation), or
// at ZEROVA_INSTALLED_WINDOW, its path relative to this program's folder once
// both are installed (CMake finds it from its install folders).
constexpr const char* kWindowProgram = ZEROVA_WINDOW_PROGRAM;

// Starts the window in this program's stead; `file`, unless empty, is handed
// on: the window opens with it chosen. Returns the exit status when the window
// runs on its own, or neither place has it.
int StartWindow(const std::string& file) {
  std::string folder;
  try {
    folder = zerova::NewLocalFileSystem()->ProgramFolder();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "zerova: cannot start the window: %s\n", e.what());
    return 1;
  }
  const std::string candidates[] = {
      zerova::PathInFolder(folder, kWindowProgram),
      zerova::PathInFolder(folder, ZEROVA_INSTALLED_WINDOW),
  };
  std::vector<std::string> arguments;
  if (!file.empty()) arguments.push_back(file);
  for (const std::string& path : candidates) {
    if (!zerova::IsProgram(path)) continue;
    const std::string failure = zerova::StartProgramInstead(path, arguments);
    if (failure.empty()) return 0;
    std::fprintf(stderr, "zerova: cannot start the window: %s: %s\n",
                 zerova::PrintableText(path).c_str(), failure.c_str());
    return 1;
  }
  std::fprintf(stderr,
               "zerova: the window is not installed (no %s beside zerova, nor %s"
               " from zerova's folder); give a FILE to convert without one\n",
               kWindowProgram, ZEROVA_INSTALLED_WINDOW);
  return 1;
}

// A program started from the desktop's menu inherits the launcher's folder,
// which may be "/" or another the user cannot write to; the document then goes
// to the user's home folder instead. When that cannot be entered either, the
// folder stays, and the conversion names it in its error.
void LeaveUnwritableFolder() {
  if (zerova::NewLocalFileSystem()->IsWritableFolder(".")) return;
  const std::string home = zerova::HomeFolder();
  if (home.empty()) return;
  if (const std::string failure = zerova::ChangeFolder(home); !failure.empty()) {
    std::fprintf(stderr, "zerova: %s: could not change to the home folder: %s\n",
                 zerova::PrintableText(home).c_str(), failure.c_str());
  }
}

// The window as the desktop's menu starts it: `file`, unless empty, is the one
// file it was asked to open, made a full path before the folder changes, so it
// still names the same file.
int StartFromMenu(const std::string& file) {
  std::string full_path = file;
  try {
    if (!file.empty() && !zerova::IsFullPath(file))
      full_path = zerova::PathInFolder(zerova::NewLocalFileSystem()->CurrentFolder(), file);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "zerova: cannot start the window: %s\n", e.what());
    return 1;
  }
  LeaveUnwritableFolder();
  return StartWindow(full_path);
}

}  // namespace

int main(int argc, char** argv) {
  zerova::PrepareStandardStreams();
  std::vector<std::string> arguments = zerova::ProgramArguments(argc, argv);
  if (arguments.size() < 2) return StartWindow("");
  if (arguments[1] == "--from-menu") {
    if (arguments.size() == 2) return StartFromMenu("");
    // As the desktop's "Open with" gives it; anything else is the command line's to refuse.
    if (arguments.size() == 3 && !arguments[2].empty() && arguments[2][0] != '-')
      return StartFromMenu(arguments[2]);
  }
  std::vector<char*> utf8_argv;
  for (std::string& argument : arguments) utf8_argv.push_back(argument.data());
  utf8_argv.push_back(nullptr);
  return zerova::RunCommandLine(static_cast<int>(arguments.size()), utf8_argv.data());
}
