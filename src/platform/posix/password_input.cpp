#include "cli/passwords.h"

#include <fcntl.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cli/stop_signals.h"
#include "conversion/stop_texts.h"
#include "services/error.h"

namespace zerova {
namespace {

constexpr int kPromptTries = 3;
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
// for standard input: a stop signal throws Cancelled naming `file`. Returns
// nullopt with errno set when `fd` cannot be read.
std::optional<SecretBytes> ReadLine(int fd, const std::string& file, bool* failed) {
  const auto check_stop = [&file] {
    if (StopSignal() != 0) throw Cancelled(file, kCancelledBeforeWriting);
  };
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

std::optional<SecretBytes> TakePasswordFromEnvironment() {
  char* value = std::getenv(kPasswordVariable);
  if (value == nullptr) return std::nullopt;
  SecretBytes password = ToSecret(value);
  // The bytes stay where the kernel put the environment, which /proc/PID/environ
  // shows, until they are overwritten.
  std::memset(value, 0, std::strlen(value));
  ::unsetenv(kPasswordVariable);
  return password;
}

CommandLinePasswords::CommandLinePasswords(std::string password_file,
                                           const std::optional<SecretBytes>* environment,
                                           std::function<void()> before_prompt)
    : password_file_(std::move(password_file)),
      environment_(environment),
      before_prompt_(std::move(before_prompt)) {}

std::optional<SecretBytes> CommandLinePasswords::Password(const std::string& file,
                                                          bool previous_was_wrong) {
  ++asked_;
  if (!password_file_.empty()) {
    if (asked_ > 1) return std::nullopt;
    return FromFile(file);
  }
  if (environment_ != nullptr && environment_->has_value()) {
    if (asked_ > 1) return std::nullopt;
    return **environment_;
  }
  if (asked_ > kPromptTries || !::isatty(STDIN_FILENO)) return std::nullopt;
  return FromTerminal(file, previous_was_wrong);
}

std::optional<SecretBytes> CommandLinePasswords::FromFile(const std::string& file) const {
  // Not blocking in open: a FIFO without a writer yet is then awaited as input is.
  const Descriptor in(::open(password_file_.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (in.fd < 0) throw PosixError(password_file_, "read the password file", errno);
  bool failed = false;
  std::optional<SecretBytes> line = ReadLine(in.fd, file, &failed);
  if (failed) throw PosixError(password_file_, "read the password file", errno);
  return line ? std::move(line) : SecretBytes();  // an empty file holds the empty password
}

std::optional<SecretBytes> CommandLinePasswords::FromTerminal(const std::string& file,
                                                              bool previous_was_wrong) {
  const Descriptor tty(::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC));
  if (tty.fd < 0) return std::nullopt;
  if (before_prompt_) before_prompt_();
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
    password = ReadLine(tty.fd, file, &failed);
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
