// Passwords on POSIX systems: a file read with the stop signals in mind, the
// environment, and /dev/tty with its echo off.
#include "services/password_input.h"

#include <fcntl.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/posix/signal_wait.h"
#include "services/error.h"

namespace zerova {
namespace {

constexpr std::size_t kMaxPasswordBytes = 4096;

// SIGQUIT's handler while echo is off: echo back on, then SIGQUIT's own end.
// (The stop signals' handler turns it back on itself: RestoreTerminalOnEnd.)
int quit_fd = -1;
termios quit_settings;
void RestoreEchoAndQuit(int signal_number) {
  if (quit_fd >= 0) ::tcsetattr(quit_fd, TCSANOW, &quit_settings);
  ::signal(signal_number, SIG_DFL);
  ::raise(signal_number);
}

// Turns echo off on `fd` for its lifetime; any signal that ends the program
// meanwhile turns it back on first.
class EchoOff {
 public:
  EchoOff(int fd, const termios& settings) : fd_(fd), settings_(settings) {
    quit_fd = fd;
    quit_settings = settings;
    struct sigaction action {};
    action.sa_handler = RestoreEchoAndQuit;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGQUIT, &action, &previous_quit_);
    RestoreTerminalOnEnd(fd, settings);
    termios quiet = settings;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK | ECHONL);
    ::tcsetattr(fd, TCSANOW, &quiet);
  }
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;
  ~EchoOff() {
    ::tcsetattr(fd_, TCSANOW, &settings_);
    ForgetTerminal();
    ::sigaction(SIGQUIT, &previous_quit_, nullptr);
    quit_fd = -1;
  }

 private:
  int fd_;
  termios settings_;
  struct sigaction previous_quit_;
};

// A file descriptor closed when it goes.
struct Descriptor {
  explicit Descriptor(int f) : fd(f) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
  int fd;
};

void Write(int fd, const std::string& text) {
  for (std::size_t done = 0; done < text.size();) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

// Reads one line from `fd` byte by byte (the rest stays unread), without its
// newline; nullopt at the end of input before any byte. Waits for each byte as
// for standard input, `check_stop` answering a stop signal. Sets `*failed`, and
// leaves errno set, when `fd` cannot be read.
std::optional<SecretBytes> ReadLine(int fd, const std::function<void()>& check_stop, bool* failed) {
  SecretBytes line;
  line.reserve(256);
  bool any = false;
  while (line.size() < kMaxPasswordBytes) {
    if (!WaitForInput(fd, check_stop)) break;
    std::uint8_t byte;
    const ssize_t n = ::read(fd, &byte, 1);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n < 0) *failed = true;
    if (n <= 0) break;
    any = true;
    if (byte == '\n') break;
    line.push_back(byte);
  }
  if (!any) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace

std::optional<SecretBytes> TakeEnvironmentSecret(const char* name) {
  char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  SecretBytes secret = ToSecret(value);
  // The bytes stay where the kernel put the environment, which /proc/PID/environ
  // shows, until they are overwritten.
  std::memset(value, 0, std::strlen(value));
  ::unsetenv(name);
  return secret;
}

SecretBytes ReadPasswordFile(const std::string& path, const std::function<void()>& check_stop) {
  // Not blocking in open: a FIFO without a writer yet is then awaited as input is.
  const Descriptor in(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (in.fd < 0) throw PosixError(path, "read the password file", errno);
  bool failed = false;
  std::optional<SecretBytes> line = ReadLine(in.fd, check_stop, &failed);
  if (failed) throw PosixError(path, "read the password file", errno);
  return line ? std::move(*line) : SecretBytes();  // an empty file holds the empty password
}

bool StandardInputIsTerminal() { return ::isatty(STDIN_FILENO) == 1; }

std::optional<SecretBytes> PromptForPassword(const std::string& file, bool previous_was_wrong,
                                             const std::function<void()>& check_stop) {
  const Descriptor tty(::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC));
  if (tty.fd < 0) return std::nullopt;
  // Echo goes off before the prompt shows, so nothing typed after it is shown,
  // and nothing typed is thrown away.
  termios settings;
  std::optional<EchoOff> echo_off;
  if (::tcgetattr(tty.fd, &settings) == 0) echo_off.emplace(tty.fd, settings);
  if (previous_was_wrong) Write(tty.fd, "The password is wrong.\n");
  Write(tty.fd, "Password for " + file + ": ");
  bool failed = false;
  std::optional<SecretBytes> password;
  try {
    password = ReadLine(tty.fd, check_stop, &failed);
  } catch (const Cancelled&) {
    echo_off.reset();
    Write(tty.fd, "\n");
    throw;
  }
  echo_off.reset();
  Write(tty.fd, "\n");
  return password;
}

}  // namespace zerova
