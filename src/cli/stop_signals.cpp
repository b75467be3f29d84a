#include "cli/stop_signals.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>

namespace zerova {
namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The first stop signal, read by whichever thread asks whether to stop (the
// readers ask from their own threads too): a lock-free atomic, which a signal
// handler may set.
std::atomic<int> first_signal{0};
static_assert(std::atomic<int>::is_always_lock_free);

// What a second signal does. The handler reads it through `armed` only, which
// is cleared while the main code changes it.
struct Arming {
  std::string notice;
  std::string document;
  FileId id;
};
Arming& arming = *new Arming;  // never destroyed: a late signal may still read it
std::atomic<const Arming*> armed{nullptr};
static_assert(std::atomic<const Arming*>::is_always_lock_free);

void RemoveIfStillOurs(const Arming& a) {
  struct stat status;
  if (::lstat(a.document.c_str(), &status) != 0) return;
  if (static_cast<std::uint64_t>(status.st_dev) != a.id.device ||
      static_cast<std::uint64_t>(status.st_ino) != a.id.inode) {
    return;
  }
  ::unlink(a.document.c_str());
}

void OnStopSignal(int signal_number) {
  if (int none = 0; first_signal.compare_exchange_strong(none, signal_number)) return;
  if (const Arming* a = armed.load(); a != nullptr) {
    if (!a->document.empty()) RemoveIfStillOurs(*a);
    if (::write(STDERR_FILENO, a->notice.data(), a->notice.size()) < 0) {
      // Nobody to tell: the program ends all the same.
    }
  }
  // Ends by the signal itself, at once: its default action, unblocked.
  ::signal(signal_number, SIG_DFL);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal_number);
  ::sigprocmask(SIG_UNBLOCK, &only, nullptr);
  ::raise(signal_number);
  ::_exit(128 + signal_number);
}

}  // namespace

void CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  for (int s : kStopSignals) sigaddset(&action.sa_mask, s);
  for (int s : kStopSignals) ::sigaction(s, &action, nullptr);
}

int StopSignal() { return first_signal.load(); }

void ArmSecondSignal(const std::string& notice, const std::string& document, FileId id) {
  armed.store(nullptr);
  arming.notice = notice;
  arming.document = document;
  arming.id = id;
  armed.store(&arming);
}

void DisarmSecondSignal() { armed.store(nullptr); }

}  // namespace zerova
