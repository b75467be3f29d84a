// The local disk, through POSIX calls. Each operation opens and closes what it
// needs; nothing is kept between calls except the program's folder, which
// cannot change while the program runs.
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "services/error.h"
#include "services/file_system.h"

namespace zerova {
namespace {

// Writes all of `data` to `fd`, retrying short writes. Returns false with errno set on failure.
bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
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

class LocalFileSystem final : public FileSystem {
 public:
  bool FileExists(const std::string& path) override {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
  }

  bool DeleteFile(const std::string& path) override {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) {
      if (errno == ENOENT) return false;
      throw PosixError(path, "delete the file", errno);
    }
    if ((st.st_mode & S_IWUSR) == 0) {
      throw FileSystemError(path, "the file is read-only and cannot be replaced");
    }
    if (::unlink(path.c_str()) != 0) {
      if (errno == ENOENT) return false;
      throw PosixError(path, "delete the file", errno);
    }
    return true;
  }

  void CreateTextFile(const std::string& path) override {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) throw PosixError(path, "create the file", errno);
    if (::close(fd) != 0) throw PosixError(path, "create the file", errno);
  }

  void AppendLineToFile(const std::string& path, std::string_view line) override {
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0) throw PosixError(path, "open the file for appending", errno);
    std::string text;
    text.reserve(line.size() + 2);
    text.append(line);
    text.append("\r\n");
    if (!WriteAll(fd, text)) {
      const int error = errno;
      ::close(fd);
      throw PosixError(path, "write to the file", error);
    }
    if (::close(fd) != 0) throw PosixError(path, "write to the file", errno);
  }

  std::string ProgramFolder() override {
    static const std::string folder = FindProgramFolder();
    return folder;
  }

  bool IsWritableFolder(const std::string& folder) override {
    return ::access(folder.c_str(), W_OK) == 0;
  }
};

}  // namespace

std::unique_ptr<FileSystem> NewLocalFileSystem() { return std::make_unique<LocalFileSystem>(); }

}  // namespace zerova
