// Start-up cost of the command line against the window's executable and a
// trivial process: one fork/exec/wait per iteration, output discarded.
//
// `zerova --version` must stay close to `true`: the command line links no Qt.
// `zerova-window --usage-error` stops before it opens a display, so it measures
// what loading Qt's libraries alone costs.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

// Runs `argv` to its end with stdout and stderr on /dev/null; returns false if it
// could not be started.
bool RunOnce(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid < 0) return false;
  if (pid == 0) {
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, STDOUT_FILENO);
    ::dup2(null, STDERR_FILENO);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return !(WIFEXITED(status) && WEXITSTATUS(status) == 127);
}

void BM_Start(benchmark::State& state, std::vector<std::string> args) {
  if (::access(args[0].c_str(), X_OK) != 0) {
    state.SkipWithError((args[0] + " is not built").c_str());
    return;
  }
  for (auto _ : state) {
    if (!RunOnce(args)) {
      state.SkipWithError(("cannot start " + args[0]).c_str());
      return;
    }
  }
}

std::string WindowBinary() {
  const std::string zerova = ZEROVA_BINARY;
  return zerova.substr(0, zerova.rfind('/') + 1) + "zerova-window";
}

BENCHMARK_CAPTURE(BM_Start, true, std::vector<std::string>{"/bin/true"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Start, zerova_version, std::vector<std::string>{ZEROVA_BINARY, "--version"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Start, zerova_window_loads_qt,
                  std::vector<std::string>{WindowBinary(), "--usage-error"})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
