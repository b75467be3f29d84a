// The program's start: with a file, the headless command line; with none, the window.
#include "ui/command_line.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    zerova::PrintUsage(true);
    return 2;
  }
  return zerova::RunCommandLine(argc, argv);
}
