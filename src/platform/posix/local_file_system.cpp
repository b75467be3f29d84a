// The local disk on POSIX systems. Each operation opens and closes what it
// needs; nothing is kept between calls except the program's folder, which
// cannot change while the program runs, the descriptor a FileLock holds, and
// the names of temporary files found in each folder listed.
#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>

#include "platform/posix/temporary_files.h"
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

FileId IdOf(const struct stat& status) {
  return {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
}

// An flock(2) lock on an open file description. Unlike a POSIX record lock it
// survives the closing of other descriptors of the same file, which the
// per-line open and close of the document do; closing this descriptor, or the
// process ending in any way, releases it.
class DescriptorLock final : public FileLock {
 public:
  DescriptorLock(int fd, FileId id, LockedFileFacts facts, std::string path)
      : fd_(fd), id_(id), facts_(facts), path_(std::move(path)) {}
  ~DescriptorLock() override { ::close(fd_); }

  FileId id() const override { return id_; }
  LockedFileFacts facts() const override { return facts_; }
  std::uint64_t Size() const override {
    struct stat status;
    if (::fstat(fd_, &status) != 0) return kUnknownSize;
    return static_cast<std::uint64_t>(status.st_size);
  }
  void Truncate() override {
    if (::ftruncate(fd_, 0) != 0) throw PosixError(path_, "empty the file", errno);
  }

 private:
  int fd_;
  FileId id_;
  LockedFileFacts facts_;
  std::string path_;
};

// What decides whether the file `opened`, found at `path`, may be written into.
LockedFileFacts FactsOf(const std::string& path, const struct stat& opened) {
  LockedFileFacts facts;
  facts.names = static_cast<std::uint64_t>(opened.st_nlink);
  struct stat folder;
  facts.others_in_shared_folder = opened.st_uid != ::geteuid() &&
                                  ::stat(FolderOf(path).c_str(), &folder) == 0 &&
                                  (folder.st_mode & S_ISVTX) != 0;
  return facts;
}

// Opens `path` for writing without following a final symbolic link: a new file
// is created with O_EXCL, an existing one opened as it is. O_NONBLOCK: a FIFO
// in its place fails the check below instead of waiting for a reader.
int OpenForWriting(const std::string& path) {
  constexpr int kFlags = O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  for (int round = 0; round < 8; ++round) {
    int fd = ::open(path.c_str(), kFlags | O_CREAT | O_EXCL, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
    fd = ::open(path.c_str(), kFlags);
    if (fd >= 0 || errno != ENOENT) return fd;  // else removed in between: again
  }
  errno = EEXIST;
  return -1;
}

[[noreturn]] void RefuseLink(const std::string& path) {
  throw FileSystemError(path, "a symbolic link stands in the file's place; it is not followed");
}

[[noreturn]] void RefuseNonFile(const std::string& path) {
  throw FileSystemError(path, "is not a regular file; nothing is written to it");
}

// Throws the FileSystemError for a failed open of the file a run writes.
[[noreturn]] void CannotOpenForWriting(const std::string& path, int error_number) {
  if (error_number == ELOOP) RefuseLink(path);
  throw PosixError(path, "open the file for writing", error_number);
}

// Refuses, without opening it, a symbolic link, a device, a FIFO or a socket
// standing at `path`: opening a device or a FIFO may itself do something. A
// folder is left to the open, which fails on it at once ("Is a directory").
void RequireFileOrNothing(const std::string& path) {
  struct stat status;
  if (::lstat(path.c_str(), &status) != 0) return;
  if (S_ISLNK(status.st_mode)) RefuseLink(path);
  if (!S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode)) RefuseNonFile(path);
}

// Writes all of `bytes` to `fd`. Returns false with errno set on failure.
bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) {  // no progress and no reason given
      errno = EIO;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// A new file written through its own descriptor.
class DescriptorFile final : public NewFile {
 public:
  DescriptorFile(int fd, std::string path, FileId id) : fd_(fd) {
    path_ = std::move(path);
    id_ = id;
  }
  ~DescriptorFile() override {
    if (fd_ >= 0) ::close(fd_);
  }
  void Write(std::string_view bytes) override {
    if (!WriteAll(fd_, bytes)) throw PosixError(path_, "write to the file", errno);
  }
  void Close() override {
    if (fd_ < 0) return;
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) throw PosixError(path_, "write to the file", errno);
  }

 private:
  int fd_;
};

class LocalFileSystem final : public FileSystem {
 public:
  PathKind Examine(const std::string& path) override {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return PathKind::kMissing;
    if (S_ISDIR(st.st_mode)) return PathKind::kFolder;
    if (S_ISLNK(st.st_mode)) return PathKind::kLink;
    if (!S_ISREG(st.st_mode)) return PathKind::kOther;
    if ((st.st_mode & S_IWUSR) == 0) return PathKind::kReadOnlyFile;
    return st.st_size == 0 ? PathKind::kEmptyFile : PathKind::kFile;
  }

  bool DeleteFile(const std::string& path) override {
    if (::unlink(path.c_str()) == 0) return true;
    if (errno == ENOENT) return false;
    throw PosixError(path, "delete the file", errno);
  }

  bool CreateNewFile(const std::string& path) override {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EEXIST) return false;
    if (fd < 0) throw PosixError(path, "create the file", errno);
    if (::close(fd) != 0) throw PosixError(path, "create the file", errno);
    return true;
  }

  void AppendLineToFile(const std::string& path, std::string_view line,
                        const FileLock& locked) override {
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0 && errno == ELOOP) throw Replaced(path);
    if (fd < 0) throw PosixError(path, "open the file for appending", errno);
    struct stat status;
    if (::fstat(fd, &status) != 0 || IdOf(status) != locked.id()) {
      ::close(fd);
      throw Replaced(path);
    }
    if (!WriteLine(fd, line)) {
      const int error = errno;
      ::close(fd);
      throw PosixError(path, "write to the file", error);
    }
    if (::close(fd) != 0) throw PosixError(path, "write to the file", errno);
  }

  void CheckAppendable(const std::string& path, const FileLock& locked) override {
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0 && errno == ELOOP) throw Replaced(path);
    if (fd < 0) throw PosixError(path, "open the file for appending", errno);
    struct stat status;
    const bool same = ::fstat(fd, &status) == 0 && IdOf(status) == locked.id();
    ::close(fd);
    if (!same) throw Replaced(path);
  }

  bool IsFileAt(const std::string& path, FileId id) override {
    struct stat status;
    return ::lstat(path.c_str(), &status) == 0 && IdOf(status) == id;
  }

  bool RemoveFileIfSame(const std::string& path, FileId id) override {
    return IsFileAt(path, id) && DeleteFile(path);
  }

  std::unique_ptr<NewFile> CreateTemporaryFile(const std::string& final_path) override {
    const std::string folder = FolderOf(final_path);
    const std::size_t slash = final_path.rfind('/');
    const std::string name = slash == std::string::npos ? final_path : final_path.substr(slash + 1);
    struct stat earlier;
    const bool keep_mode = ::lstat(final_path.c_str(), &earlier) == 0 && S_ISREG(earlier.st_mode);
    for (int round = 0; round < 8; ++round) {
      const std::string path = PathInFolder(folder, TemporaryName(name));
      const int fd =
          ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
      if (fd < 0 && errno == EEXIST) continue;
      if (fd < 0) throw PosixError(folder, "create a file in the folder", errno);
      // Locked while it is written, so that no later run takes it for abandoned;
      // where no locks are kept, it goes without.
      while (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EINTR) {
      }
      struct stat status;
      if ((keep_mode && ::fchmod(fd, earlier.st_mode & 0777) != 0) || ::fstat(fd, &status) != 0) {
        const int error = errno;
        ::close(fd);
        ::unlink(path.c_str());
        throw PosixError(path, "create the file", error);
      }
      return std::make_unique<DescriptorFile>(fd, path, IdOf(status));
    }
    throw PosixError(folder, "create a file in the folder", EEXIST);
  }

  // Each folder is listed once: a batch into one folder lists it once, not
  // once per document.
  void RemoveAbandonedTemporaryFiles(const std::string& final_path) override {
    const std::string folder = FolderOf(final_path);
    auto [found, added] = temporary_names_.try_emplace(folder);
    if (added) found->second = TemporaryNamesIn(folder);
    zerova::RemoveAbandonedTemporaryFiles(final_path, found->second);
  }

  void ReplaceFile(const std::string& from, const std::string& to) override {
    if (::rename(from.c_str(), to.c_str()) != 0) {
      throw PosixError(to, "put the document in place", errno);
    }
  }

  void CreateFolders(const std::string& path) override {
    for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
      const std::string folder = path.substr(0, end);
      if (!folder.empty() && folder.back() != '/' && ::mkdir(folder.c_str(), 0777) != 0) {
        struct stat status;
        if (errno != EEXIST) throw PosixError(folder, "create the folder", errno);
        if (::stat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
          throw FileSystemError(folder, "is not a folder, so no folder can be made in it");
        }
      }
      if (end == std::string::npos) return;
    }
  }

  std::unique_ptr<FileLock> LockFile(const std::string& path) override {
    RequireFileOrNothing(path);
    // A few rounds at most: each one that fails found the file replaced between
    // the open and the lock, which only another program's meddling does.
    for (int round = 0; round < 8; ++round) {
      const int fd = OpenForWriting(path);
      if (fd < 0) CannotOpenForWriting(path, errno);
      struct stat status;
      if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        RefuseNonFile(path);
      }
      int result;
      do {
        result = ::flock(fd, LOCK_EX | LOCK_NB);
      } while (result != 0 && errno == EINTR);
      if (result != 0 && errno == EWOULDBLOCK) {
        ::close(fd);
        return nullptr;
      }
      // Any other failure means a file system that keeps no locks (NFS without
      // its lock service, say): refusing every conversion there would be worse
      // than going on unguarded.
      struct stat named;
      if (result != 0 || (::lstat(path.c_str(), &named) == 0 && IdOf(named) == IdOf(status))) {
        return std::make_unique<DescriptorLock>(fd, IdOf(status), FactsOf(path, status), path);
      }
      ::close(fd);
    }
    return nullptr;
  }

  std::uint64_t SpaceFor(const std::string& path) override {
    std::uint64_t space = FreeSpaceBeside(path);
    if (space == kUnknownSpace) return space;
    struct stat status;
    if (::lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode)) {
      space += static_cast<std::uint64_t>(status.st_blocks) * 512;
    }
    return space;
  }

  std::uint64_t FreeSpaceBeside(const std::string& path) override {
    struct statvfs disk;
    if (::statvfs(FolderOf(path).c_str(), &disk) != 0) return kUnknownSpace;
    return static_cast<std::uint64_t>(disk.f_bavail) * disk.f_frsize;
  }

  std::uint64_t FileSizeLimit() override {
    struct rlimit limit;
    if (::getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return kNoLimit;
    return static_cast<std::uint64_t>(limit.rlim_cur);
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

  bool SameFile(const std::string& followed, const std::string& path) override {
    struct stat first, second;
    return ::stat(followed.c_str(), &first) == 0 && ::lstat(path.c_str(), &second) == 0 &&
           IdOf(first) == IdOf(second);
  }

 private:
  // The names TemporaryNamesIn found in each folder listed so far.
  std::map<std::string, std::vector<std::string>> temporary_names_;

  static ReplacedFileError Replaced(const std::string& path) {
    return ReplacedFileError(path,
                             "the file was replaced by another one during the conversion; "
                             "nothing was written to that one");
  }
};

}  // namespace

std::unique_ptr<FileSystem> NewLocalFileSystem() { return std::make_unique<LocalFileSystem>(); }

const char* MakeWritableAdvice() { return "make it writable (chmod u+w)"; }

}  // namespace zerova
