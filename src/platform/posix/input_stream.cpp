// Input streams on POSIX systems: a descriptor, read when poll says it has
// input, so that the stop signals end a wait (signal_wait.h).
#include "services/input_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/posix/signal_wait.h"
#include "services/error.h"

namespace zerova {
namespace {

class DescriptorStream final : public InputStream {
 public:
  DescriptorStream(int fd, std::string name, bool owned)
      : fd_(fd), name_(std::move(name)), owned_(owned) {}
  ~DescriptorStream() override {
    if (owned_) ::close(fd_);
  }

  std::size_t Read(std::uint8_t* to, std::size_t count,
                   const std::function<void()>& on_wake) override {
    for (;;) {
      if (!WaitForInput(fd_, on_wake)) throw CannotRead(errno);
      const ssize_t n = ::read(fd_, to, count);
      if (n >= 0) return static_cast<std::size_t>(n);
      if (errno != EINTR && errno != EAGAIN) throw CannotRead(errno);
    }
  }

  std::uint64_t KnownSize() override {
    struct stat status;
    if (::fstat(fd_, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size <= 0) return 0;
    return static_cast<std::uint64_t>(status.st_size);
  }

 private:
  ReadError CannotRead(int error_number) const {
    return ReadError(name_, std::string("cannot read it: ") + std::strerror(error_number));
  }

  int fd_;
  std::string name_;
  bool owned_;
};

}  // namespace

std::unique_ptr<InputStream> StreamOnDescriptor(int descriptor, std::string name) {
  return std::make_unique<DescriptorStream>(descriptor, std::move(name), false);
}

std::unique_ptr<InputStream> OpenStreamAt(const std::string& path) {
  struct stat status;
  if (::stat(path.c_str(), &status) != 0 || S_ISREG(status.st_mode) || S_ISDIR(status.st_mode)) {
    return nullptr;  // read as a file, which says what is wrong with it
  }
  // A FIFO is opened without waiting for its writer: the reading awaits it.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) throw ReadError(path, std::string("cannot open the file: ") + std::strerror(errno));
  return std::make_unique<DescriptorStream>(fd, path, true);
}

}  // namespace zerova
