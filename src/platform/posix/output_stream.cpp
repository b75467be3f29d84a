#include "cli/output_target.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <string_view>
#include <thread>

#include "services/error.h"

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

}  // namespace

OutputTarget::OutputTarget(const std::string& output, const std::function<void()>& check_stop)
    : stream_limit_(FileSystem::kNoLimit) {
  if (output.empty()) return;
  if (const int fd = DescriptorNamed(output); fd >= 0) {
    const int own = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (own < 0) throw PosixError(output, "write to it", errno);
    TakeStream(own, output == "-" ? "standard output" : output);
    return;
  }
  struct stat status;
  if (::stat(output.c_str(), &status) != 0) {
    struct stat folder;
    const std::string parent = FolderOf(output);
    if (errno == ENOENT && ::stat(parent.c_str(), &folder) != 0 && errno == ENOENT) {
      throw FileSystemError(output, "the folder " + parent + " does not exist");
    }
    file_ = output;  // a new file; what stands in the way is the writer's to refuse
    return;
  }
  if (S_ISDIR(status.st_mode)) {
    throw FileSystemError(output,
                          "is a folder; give a file name, or --outdir DIR to write into it");
  }
  if (S_ISREG(status.st_mode)) {
    file_ = output;  // a link to it is refused by the writer, which never follows one
    return;
  }
  if (S_ISBLK(status.st_mode) || S_ISSOCK(status.st_mode)) {
    throw FileSystemError(output, S_ISBLK(status.st_mode)
                                      ? "is a disk device; nothing is written to it"
                                      : "is a socket; nothing is written to it");
  }
  const int fd = S_ISFIFO(status.st_mode) ? OpenFifo(output, check_stop)
                                          : ::open(output.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) throw PosixError(output, "open it for writing", errno);
  TakeStream(fd, output);
}

OutputTarget::~OutputTarget() {
  if (stream_ != nullptr) std::fclose(stream_);
}

void OutputTarget::TakeStream(int fd, std::string name) {
  if (const int flags = ::fcntl(fd, F_GETFL); flags >= 0 && (flags & O_ACCMODE) == O_RDONLY) {
    ::close(fd);
    throw FileSystemError(name, "is open for reading only; nothing is written to it");
  }
  stream_ = ::fdopen(fd, "wb");
  if (stream_ == nullptr) {
    const int error = errno;
    ::close(fd);
    throw PosixError(name, "write to it", error);
  }
  stream_name_ = std::move(name);
  shares_stdout_ = SameFile(fd, STDOUT_FILENO);
  on_terminal_ = ::isatty(fd) == 1;
  // A regular file behind the stream (standard output redirected into one)
  // takes no more than the file-size limit: a larger document is refused first.
  struct stat status;
  if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
    stream_limit_ = NewLocalFileSystem()->FileSizeLimit();
  }
}

void OutputTarget::Into(ConversionRequest& request) const {
  request.output = file_;
  request.output_stream = stream_;
  request.output_stream_name = stream_name_;
  request.output_stream_limit = stream_limit_;
}

void OutputTarget::Close() {
  std::FILE* stream = std::exchange(stream_, nullptr);
  if (stream != nullptr && std::fclose(stream) != 0) {
    throw PosixError(stream_name_, "write the document", errno);
  }
}

}  // namespace zerova
