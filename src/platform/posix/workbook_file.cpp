#include "services/workbook_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "services/error.h"

namespace zerova {
namespace {

[[noreturn]] void CannotOpen(const std::string& path, int error_number) {
  throw ReadError(path, std::string("cannot open the file: ") + std::strerror(error_number));
}

// Refuses what `status` shows is no file to read.
void RequireReadable(const std::string& path, const struct stat& status) {
  if (S_ISDIR(status.st_mode)) throw ReadError(path, "is a folder, not a spreadsheet file");
  if (!S_ISREG(status.st_mode)) throw ReadError(path, "is not a regular file");
}

// Why a file of `bytes`, over WorkbookFile::kMaxBytes, is not read, and what to do.
std::string TooLarge(std::size_t bytes) {
  const double gigabytes = static_cast<double>(bytes) / 1e9;
  char size[32];
  std::snprintf(size, sizeof size, gigabytes < 10 ? "%.1f GB" : "%.0f GB", gigabytes);
  return std::string("the file is too large to read (") + size + "; the limit is " +
         std::to_string(WorkbookFile::kMaxBytes >> 30) +
         " GiB, as the whole file is read into memory); split it into smaller files";
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
  fd_ = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) CannotOpen(path_, errno);
  // What was opened is what counts: the path may have changed since the look.
  if (::fstat(fd_, &status) != 0) {
    const int error_number = errno;
    Close();
    CannotOpen(path_, error_number);
  }
  try {
    RequireReadable(path_, status);
  } catch (...) {
    Close();
    throw;
  }
  size_ = static_cast<std::size_t>(status.st_size);
}

WorkbookFile::~WorkbookFile() { Close(); }

void WorkbookFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

std::size_t WorkbookFile::ReadAt(std::uint8_t* to, std::size_t count, std::size_t offset) {
  std::size_t done = 0;
  while (done < count) {
    const ssize_t n = ::pread(fd_, to + done, count - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw ReadError(path_, std::string("cannot read the file: ") + std::strerror(errno));
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

std::span<const std::uint8_t> WorkbookFile::Head(std::size_t count) {
  if (!head_read_) {
    const std::size_t wanted = std::min(count, size_);
    head_ = std::make_unique_for_overwrite<std::uint8_t[]>(wanted);
    head_size_ = ReadAt(head_.get(), wanted, 0);
    head_read_ = true;
  }
  return {head_.get(), std::min(count, head_size_)};
}

std::span<const std::uint8_t> WorkbookFile::ReadAll(ReadProgress* progress) {
  if (bytes_ == nullptr) {
    if (size_ > static_cast<std::size_t>(kMaxBytes)) throw ReadError(path_, TooLarge(size_));
    bytes_ = std::make_unique_for_overwrite<std::uint8_t[]>(size_);
    std::size_t done = 0;
    if (head_read_) {
      std::copy(head_.get(), head_.get() + head_size_, bytes_.get());
      done = head_size_;
    }
    // In pieces, so a stop is noticed while a large file is read.
    constexpr std::size_t kPiece = InputMeter::kStep;
    InputMeter meter(progress, size_);
    while (done < size_) {
      meter.At(done);
      const std::size_t wanted = std::min(kPiece, size_ - done);
      const std::size_t got = ReadAt(bytes_.get() + done, wanted, done);
      done += got;
      if (got < wanted) break;  // the file shrank since it was opened
    }
    bytes_size_ = done;
    Close();
  }
  return {bytes_.get(), bytes_size_};
}

std::FILE* WorkbookFile::OpenStream() {
  const int fd = ::fcntl(fd_, F_DUPFD_CLOEXEC, 0);
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

void WorkbookFile::Release() {
  bytes_.reset();
  bytes_size_ = 0;
}

}  // namespace zerova
