// WorkbookFile's opening and reads on POSIX systems: one descriptor, read with
// pread, so that its offset stays the stream's (OpenStream).
#include "services/workbook_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "services/error.h"

namespace zerova {

class WorkbookFile::Handle {
 public:
  explicit Handle(int fd) : fd(fd) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() { ::close(fd); }

  const int fd;
};

namespace {

[[noreturn]] void CannotOpen(const std::string& path, int error_number) {
  throw ReadError(path, std::string("cannot open the file: ") + std::strerror(error_number));
}

// Refuses what `status` shows is no file to read.
void RequireReadable(const std::string& path, const struct stat& status) {
  if (S_ISDIR(status.st_mode)) throw ReadError(path, "is a folder, not a spreadsheet file");
  if (!S_ISREG(status.st_mode)) throw ReadError(path, "is not a regular file");
}

}  // namespace

WorkbookFile::WorkbookFile(std::string path) : path_(std::move(path)) {
  if (path_.empty()) throw ReadError("", "no spreadsheet file was chosen");
  struct stat status;
  // The path is looked at before it is opened, so a FIFO or a device is never opened.
  if (::stat(path_.c_str(), &status) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) throw ReadError(path_, "no such file");
    CannotOpen(path_, errno);
  }
  RequireReadable(path_, status);
  const int fd = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) CannotOpen(path_, errno);
  handle_ = std::make_unique<Handle>(fd);
  // What was opened is what counts: the path may have changed since the look.
  if (::fstat(fd, &status) != 0) CannotOpen(path_, errno);
  RequireReadable(path_, status);
  size_ = static_cast<std::size_t>(status.st_size);
}

WorkbookFile::~WorkbookFile() = default;

void WorkbookFile::Close() { handle_.reset(); }

std::size_t WorkbookFile::ReadAt(std::uint8_t* to, std::size_t count, std::size_t offset) {
  std::size_t done = 0;
  while (done < count) {
    const ssize_t n =
        ::pread(handle_->fd, to + done, count - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw ReadError(path_, std::string("cannot read the file: ") + std::strerror(errno));
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

std::FILE* WorkbookFile::OpenStream() {
  const int fd = ::fcntl(handle_->fd, F_DUPFD_CLOEXEC, 0);
  std::FILE* stream = fd >= 0 ? ::fdopen(fd, "rb") : nullptr;
  if (stream == nullptr) {
    const int error_number = errno;
    if (fd >= 0) ::close(fd);
    CannotOpen(path_, error_number);
  }
  // Reads of 64 KB at a time; the descriptor's offset is its own to move (this
  // object reads with pread).
  std::setvbuf(stream, nullptr, _IOFBF, 64 * 1024);
  std::rewind(stream);
  return stream;
}

}  // namespace zerova
