#include "cli/passwords.h"

#include <fcntl.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "services/error.h"

namespace zerova {
namespace {

constexpr int kPromptTries = 3;
constexpr std::size_t kMaxPasswordBytes = 4096;

// The terminal's settings while echo is off, restored if a signal ends the program.
int echo_fd = -1;
termios saved_settings;

void RestoreEchoAndDie(int signal_number) {
  if (echo_fd >= 0) ::tcsetattr(echo_fd, TCSANOW, &saved_settings);
  ::signal(signal_number, SIG_DFL);
  ::raise(signal_number);
}

// The signals that end the program while echo is off: each restores echo first.
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// Turns echo off on `fd` and installs RestoreEchoAndDie for kEndingSignals for
// its lifetime; then restores echo and puts the program's own handlers back.
class EchoOff {
 public:
  EchoOff(int fd, const termios& settings) {
    saved_settings = settings;
    echo_fd = fd;
    struct sigaction action {};
    action.sa_handler = RestoreEchoAndDie;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
      ::sigaction(kEndingSignals[i], &action, &previous_[i]);
    }
    termios quiet = settings;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK | ECHONL);
    ::tcsetattr(fd, TCSANOW, &quiet);
  }
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;
  ~EchoOff() {
    ::tcsetattr(echo_fd, TCSANOW, &saved_settings);
    echo_fd = -1;
    for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
      ::sigaction(kEndingSignals[i], &previous_[i], nullptr);
    }
  }

 private:
  struct sigaction previous_[std::size(kEndingSignals)];
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
// newline; nullopt at the end of input before any byte.
std::optional<SecretBytes> ReadLine(int fd) {
  SecretBytes line;
  line.reserve(256);
  bool any = false;
  while (line.size() < kMaxPasswordBytes) {
    std::uint8_t byte;
    const ssize_t n = ::read(fd, &byte, 1);
    if (n < 0 && errno == EINTR) continue;
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

CommandLinePasswords::CommandLinePasswords(std::string password_file,
                                           std::function<void()> before_prompt)
    : password_file_(std::move(password_file)), before_prompt_(std::move(before_prompt)) {}

std::optional<SecretBytes> CommandLinePasswords::Password(const std::string& file,
                                                          bool previous_was_wrong) {
  ++asked_;
  if (!password_file_.empty()) {
    if (asked_ > 1) return std::nullopt;
    return FromFile();
  }
  if (const char* value = std::getenv(kPasswordVariable); value != nullptr) {
    if (asked_ > 1) return std::nullopt;
    return ToSecret(value);
  }
  if (asked_ > kPromptTries || !::isatty(STDIN_FILENO)) return std::nullopt;
  return FromTerminal(file, previous_was_wrong);
}

std::optional<SecretBytes> CommandLinePasswords::FromFile() const {
  const Descriptor in(::open(password_file_.c_str(), O_RDONLY | O_CLOEXEC));
  if (in.fd < 0) throw PosixError(password_file_, "read the password file", errno);
  std::optional<SecretBytes> line = ReadLine(in.fd);
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
  std::optional<SecretBytes> password = ReadLine(tty.fd);
  echo_off.reset();
  Write(tty.fd, "\n");
  return password;
}

}  // namespace zerova
