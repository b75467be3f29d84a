#include "cli/standard_input.h"

#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "services/error.h"

namespace zerova {
namespace {

constexpr std::size_t kChunk = 64 * 1024;
constexpr std::uint64_t kGiB = std::uint64_t{1} << 30;

[[noreturn]] void CannotRead(int error_number) {
  throw ReadError(kStandardInputName,
                  std::string("cannot read it: ") + std::strerror(error_number));
}

// "2 GiB", or "1000 bytes" for a limit that is no whole number of GiB.
std::string LimitText(std::uint64_t bytes) {
  if (bytes % kGiB == 0) return std::to_string(bytes / kGiB) + " GiB";
  return std::to_string(bytes) + " bytes";
}

// Holds back every signal while it lives, so that one coming between a look at
// the stop request and the wait that follows is not lost: it stays pending
// until the wait lets it in.
class SignalsHeld {
 public:
  SignalsHeld() {
    sigset_t all;
    sigfillset(&all);
    ::pthread_sigmask(SIG_BLOCK, &all, &before_);
  }
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;
  ~SignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &before_, nullptr); }

  const sigset_t* before() const { return &before_; }

 private:
  sigset_t before_;
};

// Asks `report` whether to stop, then waits until `fd` has input or has ended.
// A signal ends the wait (ppoll is never restarted), and `report` is asked again.
void AwaitInput(int fd, const InputReport& report, std::uint64_t done, std::uint64_t total) {
  for (;;) {
    const SignalsHeld held;
    report(done, total);
    pollfd wanted{fd, POLLIN, 0};
    const int ready = ::ppoll(&wanted, 1, nullptr, held.before());
    if (ready > 0) return;
    if (ready < 0 && errno != EINTR) CannotRead(errno);
  }
}

// The size of `fd` when it is a redirected file, else 0 (not known ahead).
std::uint64_t KnownSize(int fd) {
  struct stat status;
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size <= 0) return 0;
  return static_cast<std::uint64_t>(status.st_size);
}

}  // namespace

std::shared_ptr<const std::vector<std::uint8_t>> ReadStandardInput(int fd,
                                                                   const InputReport& report,
                                                                   std::uint64_t max_bytes) {
  auto bytes = std::make_shared<std::vector<std::uint8_t>>();
  const std::uint64_t known = KnownSize(fd);
  // Room for the whole file and one more read, which finds its end.
  if (known > 0 && known <= max_bytes) bytes->reserve(known + kChunk);
  for (;;) {
    AwaitInput(fd, report, bytes->size(), known);
    const std::size_t size = bytes->size();
    bytes->resize(size + kChunk);
    const ssize_t n = ::read(fd, bytes->data() + size, kChunk);
    if (n < 0 && errno != EINTR && errno != EAGAIN) CannotRead(errno);
    bytes->resize(size + static_cast<std::size_t>(n > 0 ? n : 0));
    if (n == 0) return bytes;
    if (bytes->size() > max_bytes) {
      throw ReadError(kStandardInputName,
                      "the input is too large to read (over " + LimitText(max_bytes) + ")");
    }
    report(bytes->size(), known);
  }
}

}  // namespace zerova
