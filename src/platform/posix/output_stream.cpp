// What `-o` names, on POSIX systems: an open descriptor's name, a FIFO, a
// character device; anything else stat(2) tells apart.
#include "services/output_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <string_view>
#include <thread>

#include "services/error.h"
#include "services/paths.h"

namespace zerova {
namespace {

// The descriptor a name such as /dev/stdout or /dev/fd/3 stands for, or -1.
int DescriptorNamed(std::string_view path) {
  if (path == "-" || path == "/dev/stdout") return STDOUT_FILENO;
  if (path == "/dev/stderr") return STDERR_FILENO;
  for (const std::string_view folder : {"/dev/fd/", "/proc/self/fd/"}) {
    if (!path.starts_with(folder)) continue;
    const std::string_view digits = path.substr(folder.size());
    int fd = -1;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), fd);
    if (error == std::errc() && end == digits.data() + digits.size() && fd >= 0) return fd;
  }
  return -1;
}

// Opens the FIFO at `path` for writing once a reader has it open, asking
// `check_stop` while none has.
int OpenFifo(const std::string& path, const std::function<void()>& check_stop) {
  for (;;) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
      ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
      return fd;
    }
    if (errno != ENXIO) return -1;  // ENXIO: no reader yet
    check_stop();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

bool SameFile(int a, int b) {
  struct stat first, second;
  return ::fstat(a, &first) == 0 && ::fstat(b, &second) == 0 && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}

// The stream on descriptor `fd`, which it takes, named `name`.
OutputStream StreamOn(int fd, std::string name) {
  if (const int flags = ::fcntl(fd, F_GETFL); flags >= 0 && (flags & O_ACCMODE) == O_RDONLY) {
    ::close(fd);
    throw FileSystemError(name, "is open for reading only; nothing is written to it");
  }
  OutputStream stream;
  stream.file = ::fdopen(fd, "wb");
  if (stream.file == nullptr) {
    const int error = errno;
    ::close(fd);
    throw PosixError(name, "write to it", error);
  }
  stream.name = std::move(name);
  stream.shares_stdout = SameFile(fd, STDOUT_FILENO);
  stream.on_terminal = ::isatty(fd) == 1;
  // A regular file behind the stream (standard output redirected into one)
  // takes no more than the file-size limit: a larger document is refused first.
  struct stat status;
  if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
    stream.size_limit = NewLocalFileSystem()->FileSizeLimit();
  }
  return stream;
}

OutputPlace Stream(OutputStream stream) { return {OutputPlace::Kind::kStream, std::move(stream)}; }

}  // namespace

const char* StreamPlacesNamed() { return "/dev/stdout, a FIFO or a device"; }

OutputPlace OpenOutputPlace(const std::string& path, const std::function<void()>& check_stop) {
  if (const int fd = DescriptorNamed(path); fd >= 0) {
    const int own = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (own < 0) throw PosixError(path, "write to it", errno);
    return Stream(StreamOn(own, path == "-" ? "standard output" : path));
  }
  struct stat status;
  if (::stat(path.c_str(), &status) != 0) {
    struct stat folder;
    if (errno == ENOENT && ::stat(FolderOf(path).c_str(), &folder) != 0 && errno == ENOENT) {
      return {OutputPlace::Kind::kMissingFolder, {}};
    }
    return {};  // a new file; what stands in the way is the writer's to refuse
  }
  if (S_ISDIR(status.st_mode)) return {OutputPlace::Kind::kFolder, {}};
  if (S_ISREG(status.st_mode)) return {};  // a link to it is refused by the writer
  if (S_ISBLK(status.st_mode) || S_ISSOCK(status.st_mode)) {
    throw FileSystemError(path, S_ISBLK(status.st_mode)
                                    ? "is a disk device; nothing is written to it"
                                    : "is a socket; nothing is written to it");
  }
  const int fd = S_ISFIFO(status.st_mode) ? OpenFifo(path, check_stop)
                                          : ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) throw PosixError(path, "open it for writing", errno);
  return Stream(StreamOn(fd, path));
}

}  // namespace zerova
