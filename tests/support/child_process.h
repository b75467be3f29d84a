// ChildProcess: a program (by default the real `zerova`, ZEROVA_BINARY) started
// as a user starts it, in a working folder of the test's choosing: its stdout
// into a file of its own in the temporary folder, its stderr read back through a
// pipe or a pseudo-terminal, its stdin from /dev/null, a file, a pipe the test
// writes, or the terminal; under resource limits of the test's choosing; and,
// with the call gate (call_gate.c) preloaded, stopped at an exact system call
// until the test lets it go on. Run() is the one-shot form.
#ifndef ZEROVA_TESTS_SUPPORT_CHILD_PROCESS_H_
#define ZEROVA_TESTS_SUPPORT_CHILD_PROCESS_H_

#include <sys/types.h>

#include <sys/resource.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace zerova::test {

// The basic fixture's workbook and document, the success line, and the user a
// child runs as where the test runs as root (who may write everywhere).
inline const std::string kData = ZEROVA_TEST_DATA, kBasic = kData + "/basic/input.xls",
                         kBasicDocument = kData + "/basic/expected.xml";
inline const std::string kSuccess = "XML created successfully\n";
// The note on what the basic workbook's table leaves out, about `document`:
// three cells below the gaps in its columns and the two of E, right of D1.
inline std::string BasicNote(const std::string& document) {
  return "zerova: " + document +
         ": 6 filled cells below an empty cell or right of an empty label were left out, the "
         "first at E1: the first empty cell ends a column, and the first empty label ends the "
         "table\n";
}
inline constexpr uid_t kNobody = 65534;

struct ChildSetup {
  std::vector<std::string> args;
  // Added to the environment ("NAME=value"); ZEROVA_PASSWORD and the names in
  // `unset` are taken out first.
  std::vector<std::string> env;
  std::vector<std::string> unset;
  std::filesystem::path binary = ZEROVA_BINARY;
  // stderr on a pseudo-terminal that is the child's controlling terminal; stdin
  // too unless `stdin_pipe`.
  bool terminal = false;
  // stdin a pipe the test writes with Feed and ends with CloseInput.
  bool stdin_pipe = false;
  // Run as this user (and group) when not 0 and the test runs as root.
  uid_t user = 0;
  // stdout into this file when given (/dev/full, say), else into a file of the test's.
  std::filesystem::path stdout_to;
  // stdin from this file when given (/dev/zero, a FIFO), else as above.
  std::filesystem::path stdin_from;
  // No stdin at all: descriptor 0 closed, as some job runners start a program.
  bool stdin_closed = false;
  // Resource limits set in the child (RLIMIT_FSIZE, RLIMIT_NOFILE, ...), soft and hard.
  std::vector<std::pair<int, rlim_t>> limits;
  // With a call named (pread, writev, unlink, openat, rename), the call gate
  // stops the child once its `gate_at`th call of that name is made (AtGate),
  // until Release.
  const char* gate_call = nullptr;
  int gate_at = 0;
};

class ChildProcess {
 public:
  ChildProcess(const std::filesystem::path& work, ChildSetup setup);
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess();  // kills a child still running

  // Reads stderr until it holds `text` or ends, or `limit` passes; true iff it
  // holds `text`.
  bool WaitFor(const std::string& text, std::chrono::milliseconds limit = std::chrono::minutes(10));
  // Reads stderr to its end and returns the exit status, 128 + N after signal
  // N. A child still running after `limit` is killed (SIGKILL: 137).
  int Wait(std::chrono::milliseconds limit = std::chrono::minutes(10));
  // True until the child has ended.
  bool Running() const;
  // True iff the child ended by a signal (after Wait).
  bool signaled() const { return signaled_; }

  // Writes `text` to the terminal (as typed) or to the stdin pipe.
  void Type(const std::string& text);
  void Feed(const std::string& text);
  void CloseInput();

  // True once the child catches SIGINT, SIGTERM and SIGHUP, ignores SIGXFSZ and
  // sleeps: it has installed its handlers and waits for input (Linux /proc).
  bool CatchesStopSignalsAndWaits() const;
  // The child's environment as /proc/PID/environ shows it, NULs and all.
  std::string EnvironmentShown() const;
  // With `terminal`: whether the terminal echoes what is typed.
  bool TerminalEchoes() const;

  // Stops the child (SIGSTOP) and waits until it is stopped; sends each of
  // `signals`, then lets it go on (SIGCONT): they arrive together, in the
  // order of their numbers, before it runs one more instruction of its own.
  void SendTogether(const std::vector<int>& signals);

  // What the child wrote to stdout so far.
  std::string Out() const;

  // The call gate: true once the child stands at it; Release lets it go on;
  // GateReport, after Wait, says "calls N", how many watched calls it made.
  bool AtGate();
  void Release();
  std::string GateReport();

  pid_t pid() const { return pid_; }
  const std::string& err() const { return err_; }
  // The child's peak memory, after Wait.
  long max_rss_kib() const { return max_rss_kib_; }

 private:
  std::filesystem::path out_;
  std::string err_;
  pid_t pid_ = -1;
  int reader_ = -1;               // stderr: a pipe's end, or the terminal's master side
  int input_ = -1;                // stdin pipe's end, when asked for
  int gate_ = -1, release_ = -1;  // the call gate's pipes, when it is loaded
  int status_ = -1;
  bool signaled_ = false;
  long max_rss_kib_ = 0;
};

// What a child run to its end left: its exit status, stdout and stderr.
struct Result {
  int status = -1;
  std::string out, err;
};

// Runs `setup` in `work` to its end; `input`, when not empty, comes on stdin
// through a pipe.
Result Run(const std::filesystem::path& work, ChildSetup setup, const std::string& input = "");

// Reads the whole file at `path` ("" when it cannot be read).
std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& bytes);

}  // namespace zerova::test

#endif  // ZEROVA_TESTS_SUPPORT_CHILD_PROCESS_H_
