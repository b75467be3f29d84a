// The local disk, through POSIX calls. Each operation opens and closes what it
// needs; nothing is kept between calls except the program's folder, which
// cannot change while the program runs, and the descriptor a FileLock holds.
#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "services/error.h"
#include "services/file_system.h"

namespace zerova {
namespace {

// Writes `line` and CR LF to `fd` with as few calls as the kernel allows (one,
// unless a write comes up short). Returns false with errno set on failure.
bool WriteLine(int fd, std::string_view line) {
  static constexpr char kLineEnd[] = "\r\n";
  iovec parts[2] = {{const_cast<char*>(line.data()), line.size()},
                    {const_cast<char*>(kLineEnd), 2}};
  iovec* next = parts;
  int count = 2;
  while (count > 0) {
    ssize_t n = ::writev(fd, next, count);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {  // no progress and no reason given
      errno = EIO;
      return false;
    }
    while (count > 0 && static_cast<std::size_t>(n) >= next->iov_len) {
      n -= static_cast<ssize_t>(next->iov_len);
      ++next;
      --count;
    }
    if (count > 0) {
      next->iov_base = static_cast<char*>(next->iov_base) + n;
      next->iov_len -= static_cast<std::size_t>(n);
    }
  }
  return true;
}

std::string FindProgramFolder() {
  char* resolved = ::realpath("/proc/self/exe", nullptr);
  if (resolved == nullptr) throw PosixError("/proc/self/exe", "find the program's folder", errno);
  std::string path(resolved);
  std::free(resolved);
  const std::size_t slash = path.rfind('/');
  if (slash == 0 || slash == std::string::npos) return "/";
  return path.substr(0, slash);
}

// An flock(2) lock on an open file description. Unlike a POSIX record lock it
// survives the closing of other descriptors of the same file, which the
// per-line open and close of the document do; closing this descriptor, or the
// process ending in any way, releases it.
class DescriptorLock final : public FileLock {
 public:
  explicit DescriptorLock(int fd) : fd_(fd) {}
  ~DescriptorLock() override { ::close(fd_); }

 private:
  int fd_;
};

// True iff `fd` and `path` name the same file: nobody removed or replaced the
// file between the open and the lock.
bool SameFile(int fd, const std::string& path) {
  struct stat held;
  struct stat named;
  return ::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 &&
         held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

class LocalFileSystem final : public FileSystem {
 public:
  PathKind Examine(const std::string& path) override {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return PathKind::kMissing;
    if (S_ISDIR(st.st_mode)) return PathKind::kFolder;
    return (st.st_mode & S_IWUSR) != 0 ? PathKind::kFile : PathKind::kReadOnlyFile;
  }

  bool DeleteFile(const std::string& path) override {
    if (::unlink(path.c_str()) == 0) return true;
    if (errno == ENOENT) return false;
    throw PosixError(path, "delete the file", errno);
  }

  void CreateTextFile(const std::string& path) override {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) throw PosixError(path, "create the file", errno);
    if (::close(fd) != 0) throw PosixError(path, "create the file", errno);
  }

  void AppendLineToFile(const std::string& path, std::string_view line) override {
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0) throw PosixError(path, "open the file for appending", errno);
    if (!WriteLine(fd, line)) {
      const int error = errno;
      ::close(fd);
      throw PosixError(path, "write to the file", error);
    }
    if (::close(fd) != 0) throw PosixError(path, "write to the file", errno);
  }

  std::unique_ptr<FileLock> LockFile(const std::string& path) override {
    // A few rounds at most: each one that fails found the file replaced between
    // the open and the lock, which only another program's meddling does.
    for (int round = 0; round < 8; ++round) {
      // O_NONBLOCK: a FIFO in the document's place fails here instead of waiting.
      const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
      if (fd < 0) throw PosixError(path, "open the file for writing", errno);
      int status;
      do {
        status = ::flock(fd, LOCK_EX | LOCK_NB);
      } while (status != 0 && errno == EINTR);
      if (status != 0 && errno == EWOULDBLOCK) {
        ::close(fd);
        return nullptr;
      }
      // Any other failure means a file system that keeps no locks (NFS without
      // its lock service, say): refusing every conversion there would be worse
      // than going on unguarded.
      if (status != 0) return std::make_unique<DescriptorLock>(fd);
      if (SameFile(fd, path)) return std::make_unique<DescriptorLock>(fd);
      ::close(fd);
    }
    return nullptr;
  }

  std::string ProgramFolder() override {
    static const std::string folder = FindProgramFolder();
    return folder;
  }

  std::string CurrentFolder() override {
    char* folder = ::getcwd(nullptr, 0);
    if (folder == nullptr) throw PosixError(".", "find the current folder", errno);
    std::string path(folder);
    std::free(folder);
    return path;
  }

  bool IsWritableFolder(const std::string& folder) override {
    return ::access(folder.c_str(), W_OK) == 0;
  }
};

}  // namespace

std::unique_ptr<FileSystem> NewLocalFileSystem() { return std::make_unique<LocalFileSystem>(); }

}  // namespace zerova
