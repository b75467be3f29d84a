#include "support/child_process.h"

#include <fcntl.h>
#include <grp.h>
#include <linux/close_range.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <iterator>
#include <thread>

extern char** environ;

namespace zerova::test {
namespace {

std::atomic<int> runs = 0;

// The child's environment: ours without ZEROVA_PASSWORD, `unset` and what
// `env` sets, then `env`.
std::vector<std::string> Environment(const ChildSetup& setup) {
  std::vector<std::string> dropped = setup.unset;
  dropped.push_back("ZEROVA_PASSWORD");
  for (const std::string& e : setup.env) dropped.push_back(e.substr(0, e.find('=')));
  std::vector<std::string> result;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    const std::string name = entry.substr(0, entry.find('='));
    if (std::find(dropped.begin(), dropped.end(), name) == dropped.end()) result.push_back(entry);
  }
  result.insert(result.end(), setup.env.begin(), setup.env.end());
  return result;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

void WriteAll(int fd, const std::string& text) {
  for (std::size_t done = 0; done < text.size();) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

}  // namespace

ChildProcess::ChildProcess(const std::filesystem::path& work, ChildSetup setup)
    : out_(std::filesystem::temp_directory_path() /
           ("zerova-child-" + std::to_string(::getpid()) + "-" + std::to_string(runs++) + ".txt")) {
  std::string tty_name;
  int err_pipe[2] = {-1, -1}, in_pipe[2] = {-1, -1}, to_gate[2] = {-1, -1}, from_gate[2] = {-1, -1};
  if (setup.gate_call != nullptr && ::pipe(to_gate) == 0 && ::pipe(from_gate) == 0) {
    setup.env.push_back("LD_PRELOAD=" + setup.gate.string());
    setup.env.push_back("ASAN_OPTIONS=verify_asan_link_order=0");
    setup.env.push_back(std::string("ZEROVA_GATE_CALL=") + setup.gate_call);
    setup.env.push_back("ZEROVA_GATE_AT=" + std::to_string(setup.gate_at));
    setup.env.push_back("ZEROVA_GATE_FDS=" + std::to_string(to_gate[0]) + "," +
                        std::to_string(from_gate[1]));
  }
  if (setup.terminal) {
    reader_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (reader_ >= 0 && ::grantpt(reader_) == 0 && ::unlockpt(reader_) == 0) {
      tty_name = ::ptsname(reader_);
    }
  } else if (::pipe2(err_pipe, O_CLOEXEC) == 0) {
    reader_ = err_pipe[0];
  }
  if (setup.stdin_pipe && ::pipe2(in_pipe, O_CLOEXEC) == 0) input_ = in_pipe[1];
  std::vector<std::string> args{"zerova"};
  args.insert(args.end(), setup.args.begin(), setup.args.end());
  std::vector<std::string> env = Environment(setup);
  std::vector<char*> argv = Pointers(args), envp = Pointers(env);
  const bool drop = setup.user != 0 && ::geteuid() == 0;
  const std::filesystem::path stdout_path = setup.stdout_to.empty() ? out_ : setup.stdout_to;
  if ((pid_ = ::fork()) == 0) {
    if (to_gate[1] >= 0) ::close(to_gate[1]), ::close(from_gate[0]);
    ::setsid();
    const int err = setup.terminal ? ::open(tty_name.c_str(), O_RDWR | O_CLOEXEC) : err_pipe[1];
    const int in = setup.stdin_pipe ? in_pipe[0]
                   : !setup.stdin_from.empty()
                       ? ::open(setup.stdin_from.c_str(), O_RDONLY | O_CLOEXEC)
                   : setup.terminal ? err
                                    : ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    setup.stdin_closed ? ::close(0) : ::dup2(in, 0);
    ::dup2(::open(stdout_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644), 1);
    ::dup2(err, 2);
    if (drop &&
        (::setgroups(0, nullptr) != 0 || ::setgid(setup.user) != 0 || ::setuid(setup.user) != 0)) {
      ::_exit(126);
    }
    // Nothing of the test's but the gate's pipes reaches the program, as from a shell.
    ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
    if (to_gate[0] >= 0) ::fcntl(to_gate[0], F_SETFD, 0), ::fcntl(from_gate[1], F_SETFD, 0);
    for (const int s : setup.ignored) ::signal(s, SIG_IGN);
    for (const auto& [resource, value] : setup.limits) {
      const rlimit limit{value, value};
      if (::setrlimit(resource, &limit) != 0) ::_exit(125);
    }
    if (::chdir(work.c_str()) == 0) ::execve(setup.binary.c_str(), argv.data(), envp.data());
    ::_exit(127);
  }
  if (err_pipe[1] >= 0) ::close(err_pipe[1]);
  if (in_pipe[0] >= 0) ::close(in_pipe[0]);
  if (to_gate[0] >= 0) ::close(to_gate[0]), ::close(from_gate[1]);
  release_ = to_gate[1], gate_ = from_gate[0];
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0 && status_ < 0) {
    ::kill(pid_, SIGKILL);
    Wait();
  }
  ::close(reader_);
  if (input_ >= 0) ::close(input_);
  if (gate_ >= 0) ::close(gate_), ::close(release_);
  std::error_code ignored;
  std::filesystem::remove(out_, ignored);
}

bool ChildProcess::WaitFor(const std::string& text, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (err_.find(text) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
    pollfd p{reader_, POLLIN, 0};
    if (::poll(&p, 1, 20) <= 0) {
      if (!Running()) break;
      continue;
    }
    char buffer[4096];
    const ssize_t n = ::read(reader_, buffer, sizeof buffer);
    if (n <= 0) break;  // a terminal whose last user closed it says EIO
    err_.append(buffer, static_cast<std::size_t>(n));
  }
  return err_.find(text) != std::string::npos;
}

int ChildProcess::Wait(std::chrono::milliseconds limit) {
  if (status_ >= 0) return status_;
  WaitFor("\x01 never written", limit);
  if (Running()) ::kill(pid_, SIGKILL);
  int raw = 0;
  rusage usage{};
  ::wait4(pid_, &raw, 0, &usage);
  max_rss_kib_ = usage.ru_maxrss;
  signaled_ = WIFSIGNALED(raw);
  return status_ = signaled_ ? 128 + WTERMSIG(raw) : WEXITSTATUS(raw);
}

bool ChildProcess::Running() const {
  siginfo_t exited{};  // a child still running leaves si_pid 0
  return status_ < 0 && ::waitid(P_PID, pid_, &exited, WEXITED | WNOHANG | WNOWAIT) == 0 &&
         exited.si_pid == 0;
}

void ChildProcess::Type(const std::string& text) { WriteAll(reader_, text); }
void ChildProcess::Feed(const std::string& text) { WriteAll(input_, text); }

void ChildProcess::CloseInput() {
  ::close(input_);
  input_ = -1;
}

bool ChildProcess::CatchesStopSignalsAndWaits() const {
  std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
  bool sleeping = false;
  unsigned long long caught = 0, ignored = 0;
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("State:", 0) == 0) sleeping = line.find("S (sleeping)") != std::string::npos;
    if (line.rfind("SigCgt:", 0) == 0) caught = std::stoull(line.substr(7), nullptr, 16);
    if (line.rfind("SigIgn:", 0) == 0) ignored = std::stoull(line.substr(7), nullptr, 16);
  }
  const auto bit = [](int signal_number) { return 1ULL << (signal_number - 1); };
  const unsigned long long wanted = bit(SIGINT) | bit(SIGTERM) | bit(SIGHUP);
  return sleeping && (caught & wanted) == wanted && (ignored & bit(SIGXFSZ)) != 0;
}

std::string ChildProcess::EnvironmentShown() const {
  return ReadFile("/proc/" + std::to_string(pid_) + "/environ");
}

bool ChildProcess::TerminalEchoes() const {
  termios settings{};
  return ::tcgetattr(reader_, &settings) == 0 && (settings.c_lflag & ECHO) != 0;
}

void ChildProcess::SendTogether(const std::vector<int>& signals) {
  ::kill(pid_, SIGSTOP);
  siginfo_t stopped{};
  ::waitid(P_PID, pid_, &stopped, WSTOPPED);
  for (int s : signals) ::kill(pid_, s);
  ::kill(pid_, SIGCONT);
}

std::string ChildProcess::Out() const { return ReadFile(out_); }

bool ChildProcess::AtGate() {
  char byte = 0;
  return ::read(gate_, &byte, 1) == 1 && byte == 'g';
}

// A child that ended at the gate has closed the pipe: no SIGPIPE for that.
void ChildProcess::Release() {
  static const bool ignoring = ::signal(SIGPIPE, SIG_IGN) != SIG_ERR;
  (void)ignoring;
  (void)!::write(release_, "r", 1);
}

std::string ChildProcess::GateReport() {
  std::string report;
  char buffer[64];
  for (ssize_t n; (n = ::read(gate_, buffer, sizeof buffer)) > 0;) report.append(buffer, n);
  return report;
}

Result Run(const std::filesystem::path& work, ChildSetup setup, const std::string& input) {
  setup.stdin_pipe = !input.empty();
  ChildProcess child(work, std::move(setup));
  std::thread feeder([&] {
    if (input.empty()) return;
    child.Feed(input);
    child.CloseInput();
  });
  const int status = child.Wait();
  feeder.join();
  return {status, child.Out(), child.err()};
}

std::filesystem::path CopyForAll(const std::filesystem::path& file,
                                 const std::filesystem::path& folder) {
  namespace fs = std::filesystem;
  const fs::path copy = folder / file.filename();
  fs::copy_file(file, copy, fs::copy_options::overwrite_existing);
  const bool runnable = (fs::status(file).permissions() & fs::perms::owner_exec) != fs::perms::none;
  const fs::perms read = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
  const fs::perms run = fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
  fs::permissions(copy, read | fs::perms::owner_write | (runnable ? run : fs::perms::none));
  return copy;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace zerova::test
