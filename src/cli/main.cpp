// The program's start: with a file, the headless command line; with none (or
// --from-menu, as the desktop's menu starts it, perhaps with the one file it was
// asked to open), the window. The window lives in its own executable,
// zerova-window, so a conversion from the command line never loads the window toolkit.
#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

#include "cli/command_line.h"
#include "services/error.h"
#include "services/file_system.h"

namespace {

constexpr const char* kWindowProgram = "zerova-window";

// Replaces this process by the window, looked for beside this program (the
// build tree), then at ZEROVA_INSTALLED_WINDOW, its path relative to this
// program's folder once both are installed (CMake finds it from its install
// folders). `file`, unless null, is handed on: the window opens with it chosen.
// Returns only when neither can be started, with the exit status.
int StartWindow(const char* file) {
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
  for (const std::string& path : candidates) {
    if (::access(path.c_str(), X_OK) != 0) continue;
    char* const argv[] = {const_cast<char*>(path.c_str()), const_cast<char*>(file), nullptr};
    ::execv(path.c_str(), argv);
    const int error = errno;
    std::fprintf(stderr, "zerova: cannot start the window: %s: %s\n",
                 zerova::PrintableText(path).c_str(), std::strerror(error));
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
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') {
    const passwd* user = ::getpwuid(::getuid());
    home = user != nullptr ? user->pw_dir : nullptr;
  }
  if (home != nullptr && ::chdir(home) != 0) {
    std::fprintf(stderr, "zerova: %s: could not change to the home folder: %s\n", home,
                 std::strerror(errno));
  }
}

// The window as the desktop's menu starts it: `file`, unless null, is the one
// file it was asked to open, made a full path before the folder changes, so it
// still names the same file.
int StartFromMenu(const char* file) {
  std::string full_path;
  if (file != nullptr) {
    full_path = file;
    try {
      if (file[0] != '/')
        full_path = zerova::PathInFolder(zerova::NewLocalFileSystem()->CurrentFolder(), file);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "zerova: cannot start the window: %s\n", e.what());
      return 1;
    }
  }
  LeaveUnwritableFolder();
  return StartWindow(file != nullptr ? full_path.c_str() : nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return StartWindow(nullptr);
  if (std::strcmp(argv[1], "--from-menu") == 0) {
    if (argc == 2) return StartFromMenu(nullptr);
    // As the desktop's "Open with" gives it; anything else is the command line's to refuse.
    if (argc == 3 && argv[2][0] != '-' && argv[2][0] != '\0') return StartFromMenu(argv[2]);
  }
  return zerova::RunCommandLine(argc, argv);
}
