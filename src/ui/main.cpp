// The program's start: with a file, the headless command line; with none, the
// window. The window lives in its own executable, zerova-window, so a
// conversion from the command line never loads the window toolkit.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "services/error.h"
#include "services/file_system.h"
#include "ui/command_line.h"

namespace {

constexpr const char* kWindowProgram = "zerova-window";

// Replaces this process by the window, looked for beside this program (the
// build tree) and in ../libexec/zerova/ (an installed tree). Returns only when
// neither can be started, with the exit status.
int StartWindow() {
  std::string folder;
  try {
    folder = zerova::NewLocalFileSystem()->ProgramFolder();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "zerova: cannot start the window: %s\n", e.what());
    return 1;
  }
  const std::string candidates[] = {
      folder + "/" + kWindowProgram,
      folder + "/../libexec/zerova/" + kWindowProgram,
  };
  for (const std::string& path : candidates) {
    if (::access(path.c_str(), X_OK) != 0) continue;
    char* const argv[] = {const_cast<char*>(path.c_str()), nullptr};
    ::execv(path.c_str(), argv);
    const int error = errno;
    std::fprintf(stderr, "zerova: cannot start the window: %s: %s\n",
                 zerova::PrintableText(path).c_str(), std::strerror(error));
    return 1;
  }
  std::fprintf(stderr,
               "zerova: the window is not installed (no %s beside zerova or in"
               " ../libexec/zerova/); give a FILE to convert without one\n",
               kWindowProgram);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return StartWindow();
  return zerova::RunCommandLine(argc, argv);
}
