#include "platform/windows/temporary_files.h"

#include <windows.h>
// After windows.h:
#include <bcrypt.h>

#include <string_view>

#include "platform/windows/wide_text.h"
#include "services/error.h"
#include "services/paths.h"

namespace zerova {
namespace {

constexpr std::string_view kNameLetters = "abcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t kRandomLetters = 12;
constexpr std::string_view kSuffix = ".tmp";

// A file left unchanged this long (in FILETIME's 100 ns) may count as
// abandoned: far longer than its writer leaves it closed before its rename.
constexpr ULONGLONG kAbandonedAfter = 60ULL * 60 * 10'000'000;

// ".NAME." for the file `name`: what its temporary files' names begin with.
std::string TemporaryPrefix(std::string_view name) {
  return "." + std::string(name.substr(0, 200)) + ".";
}

// True iff `name` is `prefix`, twelve of kNameLetters, then kSuffix.
bool IsTemporaryName(std::string_view name, std::string_view prefix) {
  if (name.size() != prefix.size() + kRandomLetters + kSuffix.size() || !name.starts_with(prefix) ||
      !name.ends_with(kSuffix)) {
    return false;
  }
  return name.substr(prefix.size(), kRandomLetters).find_first_not_of(kNameLetters) ==
         std::string_view::npos;
}

ULONGLONG Ticks(const FILETIME& time) {
  return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Removes the file at `path` when it is a temporary file its writer left: see
// RemoveAbandonedTemporaryFiles.
void RemoveIfAbandoned(const std::wstring& path) {
  ScopedHandle file(::CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES, 0, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  if (!file.valid() || !::GetFileInformationByHandle(file.get(), &info)) return;
  if ((info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0 ||
      info.nNumberOfLinks != 1) {
    return;
  }
  FILETIME now;
  ::GetSystemTimeAsFileTime(&now);
  const ULONGLONG written = Ticks(info.ftLastWriteTime);
  if (Ticks(now) < written || Ticks(now) - written <= kAbandonedAfter) return;
  FILE_DISPOSITION_INFO disposition{TRUE};
  ::SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition, sizeof disposition);
}

}  // namespace

std::string TemporaryPath(const std::string& final_path) {
  const std::string folder = FolderOf(final_path);
  unsigned char random[kRandomLetters];
  if (!BCRYPT_SUCCESS(
          ::BCryptGenRandom(nullptr, random, sizeof random, BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
    throw FileSystemError(folder, "could not make a name for a new file: no random source");
  }
  std::string name = TemporaryPrefix(FileNameOf(final_path));
  for (const unsigned char r : random) name.push_back(kNameLetters[r % kNameLetters.size()]);
  return PathInFolder(folder, name.append(kSuffix));
}

void RemoveAbandonedTemporaryFiles(const std::string& final_path) {
  const std::string folder = FolderOf(final_path);
  const std::string prefix = TemporaryPrefix(FileNameOf(final_path));
  std::wstring pattern;
  try {
    pattern = WidePath(PathInFolder(folder, prefix + "*" + std::string(kSuffix)));
  } catch (const Error&) {
    return;  // a name no file on Windows has
  }
  WIN32_FIND_DATAW found;
  const HANDLE search = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = Utf8(found.cFileName);
    try {
      if (IsTemporaryName(name, prefix)) RemoveIfAbandoned(WidePath(PathInFolder(folder, name)));
    } catch (const Error&) {
      // A path too long to name it: it stays.
    }
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
}

}  // namespace zerova
