// The stop signals on POSIX systems: SIGINT, SIGTERM and SIGHUP.
#include "services/stop_signals.h"

#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <utility>

#include "platform/posix/signal_wait.h"

namespace zerova {
namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The first stop signal, read by whichever thread asks whether to stop (the
// readers ask from their own threads too): a lock-free atomic, which a signal
// handler may set.
std::atomic<int> first_signal{0};
static_assert(std::atomic<int>::is_always_lock_free);

pid_t main_thread = 0;

pid_t ThisThread() { return static_cast<pid_t>(::syscall(SYS_gettid)); }

}  // namespace

// The words a second signal says. Whoever takes them out of `armed` with an
// exchange owns them: the main code frees what it takes back, the handler
// never frees (the program ends).
namespace {

std::atomic<LastWords::Words*> armed{nullptr};
static_assert(std::atomic<LastWords::Words*>::is_always_lock_free);

// The terminal whose echo a second signal turns back on.
std::atomic<int> echo_fd{-1};
termios echo_settings;

void RemoveIfStillOurs(const LastWords::Words& words) {
  struct stat status;
  if (words.removable.empty() || ::lstat(words.removable.c_str(), &status) != 0) return;
  if (static_cast<std::uint64_t>(status.st_dev) != words.id.device ||
      static_cast<std::uint64_t>(status.st_ino) != words.id.inode) {
    return;
  }
  ::unlink(words.removable.c_str());
}

void WriteAll(const std::string& text) {
  for (std::size_t done = 0; done < text.size();) {
    const ssize_t n = ::write(STDERR_FILENO, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // nobody to tell: the program ends all the same
    done += static_cast<std::size_t>(n);
  }
}

// Ends the program by `signal_number` itself, at once: its default action, unblocked.
[[noreturn]] void DieBy(int signal_number) {
  ::signal(signal_number, SIG_DFL);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal_number);
  ::sigprocmask(SIG_UNBLOCK, &only, nullptr);
  ::raise(signal_number);
  ::_exit(128 + signal_number);
}

void OnStopSignal(int signal_number) {
  const int saved_errno = errno;
  if (main_thread != 0 && ThisThread() != main_thread) {
    // A reader's thread: the main thread decides.
    ::syscall(SYS_tgkill, ::getpid(), main_thread, signal_number);
    errno = saved_errno;
    return;
  }
  if (int none = 0; first_signal.compare_exchange_strong(none, signal_number)) {
    errno = saved_errno;
    return;
  }
  if (const int fd = echo_fd.load(); fd >= 0) ::tcsetattr(fd, TCSANOW, &echo_settings);
  if (const LastWords::Words* words = armed.exchange(nullptr); words != nullptr) {
    RemoveIfStillOurs(*words);
    WriteAll(words->line);
  }
  DieBy(signal_number);
}

// Holds back the stop signals while it lives.
class StopSignalsHeld {
 public:
  StopSignalsHeld() {
    sigset_t stops;
    sigemptyset(&stops);
    for (const int s : kStopSignals) sigaddset(&stops, s);
    ::pthread_sigmask(SIG_BLOCK, &stops, &before_);
  }
  StopSignalsHeld(const StopSignalsHeld&) = delete;
  StopSignalsHeld& operator=(const StopSignalsHeld&) = delete;
  ~StopSignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &before_, nullptr); }

 private:
  sigset_t before_;
};

}  // namespace

StopSignalsNamed NameStopSignals() {
  return {"SIGINT, SIGTERM and SIGHUP", "signal",
          "128+N when signal N stopped it (129 SIGHUP, 130 SIGINT, 143 SIGTERM)"};
}

void CatchStopSignals() {
  main_thread = ThisThread();
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  for (const int s : kStopSignals) sigaddset(&action.sa_mask, s);
  for (const int s : kStopSignals) {
    // Ignored by the parent (nohup, `&` in a script): the user asked that this
    // signal not stop the program, so it stays ignored.
    struct sigaction inherited;
    if (::sigaction(s, nullptr, &inherited) == 0 && inherited.sa_handler == SIG_IGN) continue;
    ::sigaction(s, &action, nullptr);
  }
  ::signal(SIGXFSZ, SIG_IGN);
}

int StopSignal() { return first_signal.load(); }

void ArmLastWords(LastWords::Words* words) { delete armed.exchange(words); }

void SayLast(const std::string& line) {
  const StopSignalsHeld held;
  WriteAll(line);
  ArmLastWords(nullptr);
}

void RestoreTerminalOnEnd(int fd, const termios& settings) {
  echo_fd.store(-1);
  echo_settings = settings;
  echo_fd.store(fd);
}

void ForgetTerminal() { echo_fd.store(-1); }

bool WaitForInput(int fd, const std::function<void()>& on_wake) {
  for (;;) {
    // Every signal is held from the question until ppoll lets it in, so one
    // coming in between is not lost.
    sigset_t all, before;
    sigfillset(&all);
    ::pthread_sigmask(SIG_BLOCK, &all, &before);
    try {
      on_wake();
    } catch (...) {
      ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
      throw;
    }
    pollfd wanted{fd, POLLIN, 0};
    const int ready = ::ppoll(&wanted, 1, nullptr, &before);
    const int error = errno;
    ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
    if (ready > 0) return true;
    if (ready < 0 && error != EINTR) {
      errno = error;
      return false;
    }
  }
}

}  // namespace zerova
