#include "platform/posix/temporary_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "services/error.h"
#include "services/paths.h"

namespace zerova {
namespace {

// Letters for the unguessable part of a temporary file's name.
constexpr std::string_view kNameLetters = "abcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t kRandomLetters = 12;
constexpr std::string_view kSuffix = ".tmp";

// ".NAME." for the file `name`: what its temporary files' names begin with.
std::string TemporaryPrefix(std::string_view name) {
  return "." + std::string(name.substr(0, 200)) + ".";
}

// True iff `name` is ".", a file's name, ".", twelve of kNameLetters, then
// kSuffix: a name TemporaryName gives.
bool IsTemporaryName(std::string_view name) {
  constexpr std::size_t kTail = 1 + kRandomLetters + kSuffix.size();
  if (name.size() < 2 + kTail || !name.starts_with('.') || !name.ends_with(kSuffix) ||
      name[name.size() - kTail] != '.') {
    return false;
  }
  return name.substr(name.size() - kTail + 1, kRandomLetters).find_first_not_of(kNameLetters) ==
         std::string_view::npos;
}

// Removes `name`, in the folder open as `folder`, when it is a temporary file
// its writer left: see RemoveAbandonedTemporaryFiles.
void RemoveIfAbandoned(int folder, const char* name) {
  const int fd = ::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return;
  struct stat opened;
  const bool left = ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && opened.st_nlink == 1 &&
                    opened.st_uid == ::geteuid() &&
                    std::time(nullptr) - opened.st_mtime > kAbandonedAfter;
  // Its writer's lock, while the writer lives, refuses this one.
  if (left && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
    struct stat named;
    if (::fstatat(folder, name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
        named.st_dev == opened.st_dev && named.st_ino == opened.st_ino) {
      ::unlinkat(folder, name, 0);
    }
  }
  ::close(fd);
}

}  // namespace

std::string TemporaryName(std::string_view name) {
  unsigned char random[kRandomLetters];
  std::size_t got = 0;
  while (got < sizeof random) {
    const ssize_t n = ::getrandom(random + got, sizeof random - got, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw PosixError("/dev/urandom", "make a name for the new file", errno);
    got += static_cast<std::size_t>(n);
  }
  std::string temporary = TemporaryPrefix(name);
  for (const unsigned char r : random) temporary.push_back(kNameLetters[r % kNameLetters.size()]);
  return temporary.append(kSuffix);
}

std::vector<std::string> TemporaryNamesIn(const std::string& folder) {
  std::vector<std::string> names;
  DIR* listing = ::opendir(folder.c_str());
  if (listing == nullptr) return names;
  while (const dirent* entry = ::readdir(listing)) {
    if (IsTemporaryName(entry->d_name)) names.emplace_back(entry->d_name);
  }
  ::closedir(listing);
  return names;
}

void RemoveAbandonedTemporaryFiles(const std::string& final_path,
                                   const std::vector<std::string>& names) {
  const std::string prefix = TemporaryPrefix(FileNameOf(final_path));
  int folder = -1;
  for (const std::string& name : names) {
    if (name.size() != prefix.size() + kRandomLetters + kSuffix.size() ||
        !name.starts_with(prefix)) {
      continue;
    }
    if (folder < 0) {
      folder = ::open(FolderOf(final_path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      if (folder < 0) return;
    }
    RemoveIfAbandoned(folder, name.c_str());
  }
  if (folder >= 0) ::close(folder);
}

}  // namespace zerova
