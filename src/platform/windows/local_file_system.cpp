// The local disk on Windows, through the W functions. Every file the program
// writes is opened with FILE_FLAG_OPEN_REPARSE_POINT, so a symbolic link or a
// junction in its place is looked at, never followed; and shared for reading,
// writing and deleting, so that another program may read the document while it
// grows. A file's identity is its volume's serial number and its file index.
// Each operation opens and closes what it needs; nothing is kept between calls
// except the program's folder and the handle a FileLock holds.
#include <windows.h>
// After windows.h:
#include <bcrypt.h>

#include <cwchar>
#include <iterator>
#include <string>
#include <utility>

#include "platform/windows/device_names.h"
#include "platform/windows/temporary_files.h"
#include "platform/windows/wide_text.h"
#include "services/error.h"
#include "services/file_system.h"

namespace zerova {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Opens `path` itself (a link as the link) with `access`; invalid on failure,
// GetLastError() telling why.
ScopedHandle OpenExisting(const std::string& path, DWORD access, DWORD flags = 0) {
  return ScopedHandle(
      ::CreateFileW(WidePath(path).c_str(), access, kShareAll, nullptr, OPEN_EXISTING,
                    FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr));
}

// What the system knows of an open file; false when it cannot say.
bool Describe(HANDLE file, BY_HANDLE_FILE_INFORMATION* info) {
  return ::GetFileInformationByHandle(file, info) != 0;
}

FileId IdOf(const BY_HANDLE_FILE_INFORMATION& info) {
  return {info.dwVolumeSerialNumber,
          (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

bool IsLink(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

[[noreturn]] void RefuseLink(const std::string& path) {
  throw FileSystemError(path, "a symbolic link stands in the file's place; it is not followed");
}

[[noreturn]] void RefuseNonFile(const std::string& path) {
  throw FileSystemError(path, "is not a regular file; nothing is written to it");
}

ReplacedFileError Replaced(const std::string& path) {
  return ReplacedFileError(path,
                           "the file was replaced by another one during the conversion; "
                           "nothing was written to that one");
}

// Writes all of `bytes` to `file`; false, GetLastError() telling why, when it cannot.
bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), piece, &written, nullptr)) return false;
    if (written == 0) {
      ::SetLastError(ERROR_WRITE_FAULT);
      return false;
    }
    bytes.remove_prefix(written);
  }
  return true;
}

// Opens the document at `path` to append to it and checks that it is the file
// `locked` holds: a link, or another file, in its place throws Replaced.
ScopedHandle OpenForAppending(const std::string& path, const FileLock& locked) {
  ScopedHandle file = OpenExisting(path, FILE_APPEND_DATA | FILE_READ_ATTRIBUTES);
  if (!file.valid()) throw WindowsError(path, "open the file for appending", ::GetLastError());
  BY_HANDLE_FILE_INFORMATION info;
  if (!Describe(file.get(), &info) || IsLink(info.dwFileAttributes) || IdOf(info) != locked.id()) {
    throw Replaced(path);
  }
  return file;
}

// The same-document lock: a named semaphore of one count, keyed by the file's
// identity, taken without waiting. Not LockFileEx: Wine keeps a descriptor
// for every handle of a locked file until the lock goes, and the document
// written line by line is opened once a line. The semaphore goes with the last
// handle to it, so a program that ends in any way releases it; it is the one
// machine's, where a byte-range lock would reach other machines on a share.
struct DocumentLock {
  bool held_elsewhere = false;  // another conversion holds it
  ScopedHandle semaphore;       // taken; none where no semaphore could be made
};

DocumentLock TakeLockOn(FileId id) {
  wchar_t name[96];
  for (const wchar_t* space : {L"Global", L"Local"}) {
    std::swprintf(name, std::size(name), L"%ls\\zerova-document-%llx-%llx", space,
                  static_cast<unsigned long long>(id.device),
                  static_cast<unsigned long long>(id.inode));
    ScopedHandle semaphore(::CreateSemaphoreW(nullptr, 1, 1, name));
    if (!semaphore.valid()) continue;  // Global refused to this user: Local
    if (::WaitForSingleObject(semaphore.get(), 0) != WAIT_OBJECT_0) return {true, {}};
    return {false, std::move(semaphore)};
  }
  // No semaphore could be made at all: refusing every conversion would be
  // worse than going on unguarded.
  return {};
}

class HandleLock final : public FileLock {
 public:
  HandleLock(ScopedHandle file, ScopedHandle lock, FileId id, LockedFileFacts facts,
             std::string path)
      : file_(std::move(file)),
        lock_(std::move(lock)),
        id_(id),
        facts_(facts),
        path_(std::move(path)) {}
  ~HandleLock() override {
    if (lock_.valid()) ::ReleaseSemaphore(lock_.get(), 1, nullptr);
  }

  FileId id() const override { return id_; }
  LockedFileFacts facts() const override { return facts_; }
  std::uint64_t Size() const override {
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(file_.get(), &size)) return kUnknownSize;
    return static_cast<std::uint64_t>(size.QuadPart);
  }
  void Truncate() override {
    LARGE_INTEGER start{};
    if (!::SetFilePointerEx(file_.get(), start, nullptr, FILE_BEGIN) ||
        !::SetEndOfFile(file_.get())) {
      throw WindowsError(path_, "empty the file", ::GetLastError());
    }
  }

 private:
  ScopedHandle file_;
  ScopedHandle lock_;  // the semaphore taken; invalid where none could be made
  FileId id_;
  LockedFileFacts facts_;
  std::string path_;
};

class HandleFile final : public NewFile {
 public:
  HandleFile(ScopedHandle file, std::string path, FileId id) : file_(std::move(file)) {
    path_ = std::move(path);
    id_ = id;
  }
  void Write(std::string_view bytes) override {
    if (!WriteAll(file_.get(), bytes)) {
      throw WindowsError(path_, "write to the file", ::GetLastError());
    }
  }
  void Close() override {
    if (!file_.Close()) throw WindowsError(path_, "write to the file", ::GetLastError());
  }

 private:
  ScopedHandle file_;
};

// Twelve letters from the system's random source, for a name nobody can guess.
std::string RandomLetters(const std::string& folder) {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  unsigned char random[12];
  if (!BCRYPT_SUCCESS(
          ::BCryptGenRandom(nullptr, random, sizeof random, BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
    throw FileSystemError(folder, "could not make a name for a new file: no random source");
  }
  std::string letters;
  for (const unsigned char r : random) letters.push_back(kLetters[r % 36]);
  return letters;
}

std::string FindProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) {
      throw WindowsError("zerova.exe", "find the program's folder", ::GetLastError());
    }
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  if (path.starts_with(L"\\\\?\\")) path.erase(0, 4);
  return FolderOf(Utf8(path));
}

// The folder `path` lies in, as GetDiskFreeSpaceExW takes it: ending in a separator.
std::wstring FolderForSpace(const std::string& path) {
  std::wstring folder = WidePath(FolderOf(path));
  if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder.push_back(L'\\');
  return folder;
}

class LocalFileSystem final : public FileSystem {
 public:
  PathKind Examine(const std::string& path) override {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (IsDeviceName(FileNameOf(path))) return PathKind::kOther;
    if (!::GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &data)) {
      return PathKind::kMissing;
    }
    const DWORD attributes = data.dwFileAttributes;
    if (IsLink(attributes)) return PathKind::kLink;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return PathKind::kFolder;
    if (attributes & FILE_ATTRIBUTE_DEVICE) return PathKind::kOther;
    if (attributes & FILE_ATTRIBUTE_READONLY) return PathKind::kReadOnlyFile;
    const bool empty = data.nFileSizeHigh == 0 && data.nFileSizeLow == 0;
    return empty ? PathKind::kEmptyFile : PathKind::kFile;
  }

  bool DeleteFile(const std::string& path) override {
    const std::wstring wide = WidePath(path);
    if (::DeleteFileW(wide.c_str())) return true;
    DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return false;
    // A read-only file's name goes as on a POSIX system: the attribute first.
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_READONLY) &&
        ::SetFileAttributesW(wide.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY)) {
      if (::DeleteFileW(wide.c_str())) return true;
      error = ::GetLastError();
      ::SetFileAttributesW(wide.c_str(), attributes);
    }
    throw WindowsError(path, "delete the file", error);
  }

  bool CreateNewFile(const std::string& path) override {
    ScopedHandle file(::CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, kShareAll, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
      const DWORD error = ::GetLastError();
      if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) return false;
      throw WindowsError(path, "create the file", error);
    }
    if (!file.Close()) throw WindowsError(path, "create the file", ::GetLastError());
    return true;
  }

  void AppendLineToFile(const std::string& path, std::string_view line,
                        const FileLock& locked) override {
    ScopedHandle file = OpenForAppending(path, locked);
    std::string bytes;
    bytes.reserve(line.size() + 2);
    bytes.append(line).append("\r\n");
    if (!WriteAll(file.get(), bytes)) {
      throw WindowsError(path, "write to the file", ::GetLastError());
    }
    if (!file.Close()) throw WindowsError(path, "write to the file", ::GetLastError());
  }

  void CheckAppendable(const std::string& path, const FileLock& locked) override {
    OpenForAppending(path, locked);
  }

  bool IsFileAt(const std::string& path, FileId id) override {
    ScopedHandle file = OpenExisting(path, FILE_READ_ATTRIBUTES);
    BY_HANDLE_FILE_INFORMATION info;
    return file.valid() && Describe(file.get(), &info) && IdOf(info) == id;
  }

  bool RemoveFileIfSame(const std::string& path, FileId id) override {
    ScopedHandle file = OpenExisting(path, DELETE | FILE_READ_ATTRIBUTES);
    BY_HANDLE_FILE_INFORMATION info;
    if (!file.valid() || !Describe(file.get(), &info) || IdOf(info) != id) return false;
    // Deleted through the handle: the very file looked at, whatever its name becomes.
    FILE_DISPOSITION_INFO disposition{TRUE};
    if (!::SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition,
                                      sizeof disposition)) {
      throw WindowsError(path, "delete the file", ::GetLastError());
    }
    return true;
  }

  std::unique_ptr<FileLock> LockFile(const std::string& path) override {
    const PathKind kind = Examine(path);
    if (kind == PathKind::kLink) RefuseLink(path);
    if (kind == PathKind::kOther) RefuseNonFile(path);
    if (kind == PathKind::kFolder) {
      throw FileSystemError(path, "could not open the file for writing: Is a directory");
    }
    ScopedHandle file(::CreateFileW(WidePath(path).c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES,
                                    kShareAll, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file.valid()) throw WindowsError(path, "open the file for writing", ::GetLastError());
    BY_HANDLE_FILE_INFORMATION info;
    if (!Describe(file.get(), &info)) {
      throw WindowsError(path, "open the file for writing", ::GetLastError());
    }
    if (IsLink(info.dwFileAttributes)) RefuseLink(path);
    if (::GetFileType(file.get()) != FILE_TYPE_DISK) RefuseNonFile(path);
    DocumentLock lock = TakeLockOn(IdOf(info));
    if (lock.held_elsewhere) return nullptr;
    // Its names are counted; whose it is is not asked: Windows has no folder
    // open to all whose files stay their makers' (no sticky bit), and a
    // folder's rights decide who may write a file there.
    LockedFileFacts facts;
    facts.names = info.nNumberOfLinks;
    return std::make_unique<HandleLock>(std::move(file), std::move(lock.semaphore), IdOf(info),
                                        facts, path);
  }

  std::unique_ptr<NewFile> CreateTemporaryFile(const std::string& final_path) override {
    const std::string folder = FolderOf(final_path);
    for (int round = 0; round < 8; ++round) {
      const std::string path = TemporaryPath(final_path);
      ScopedHandle file(::CreateFileW(WidePath(path).c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
      if (!file.valid() && ::GetLastError() == ERROR_FILE_EXISTS) continue;
      if (!file.valid())
        throw WindowsError(folder, "create a file in the folder", ::GetLastError());
      BY_HANDLE_FILE_INFORMATION info;
      if (!Describe(file.get(), &info)) {
        const DWORD error = ::GetLastError();
        file.Close();
        ::DeleteFileW(WidePath(path).c_str());
        throw WindowsError(path, "create the file", error);
      }
      return std::make_unique<HandleFile>(std::move(file), path, IdOf(info));
    }
    throw WindowsError(folder, "create a file in the folder", ERROR_FILE_EXISTS);
  }

  void RemoveAbandonedTemporaryFiles(const std::string& final_path) override {
    zerova::RemoveAbandonedTemporaryFiles(final_path);
  }

  void ReplaceFile(const std::string& from, const std::string& to) override {
    const std::wstring wide_from = WidePath(from), wide_to = WidePath(to);
    if (::MoveFileExW(wide_from.c_str(), wide_to.c_str(), MOVEFILE_REPLACE_EXISTING)) return;
    const DWORD error = ::GetLastError();
    // Where a rename over an existing file is refused (some network shares),
    // ReplaceFileW puts the new file in place instead.
    if (error == ERROR_ACCESS_DENIED &&
        ::ReplaceFileW(wide_to.c_str(), wide_from.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                       nullptr, nullptr)) {
      return;
    }
    throw WindowsError(to, "put the document in place", error);
  }

  void CreateFolders(const std::string& path) override {
    // The root ("C:\", "\\server\share\") is not made; every folder after it is.
    std::size_t start = IsFullPath(path) && path[1] == ':' ? 3 : 0;
    if (path.size() >= 2 && IsPathSeparator(path[0]) && IsPathSeparator(path[1])) {
      start = path.find_first_of("\\/", path.find_first_of("\\/", 2) + 1);
      if (start == std::string::npos) return;
    }
    for (std::size_t end = path.find_first_of("\\/", start + 1);;
         end = path.find_first_of("\\/", end + 1)) {
      const std::string folder = path.substr(0, end);
      if (!folder.empty() && !IsPathSeparator(folder.back())) MakeFolder(folder);
      if (end == std::string::npos) return;
    }
  }

  std::uint64_t SpaceFor(const std::string& path) override {
    std::uint64_t space = FreeSpaceBeside(path);
    if (space == kUnknownSpace) return space;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (::GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &data) &&
        !(data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) {
      space += (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    return space;
  }

  std::uint64_t FreeSpaceBeside(const std::string& path) override {
    ULARGE_INTEGER available;
    if (!::GetDiskFreeSpaceExW(FolderForSpace(path).c_str(), &available, nullptr, nullptr)) {
      return kUnknownSpace;
    }
    return available.QuadPart;
  }

  std::uint64_t FileSizeLimit() override { return kNoLimit; }

  std::string ProgramFolder() override {
    static const std::string folder = FindProgramFolder();
    return folder;
  }

  std::string CurrentFolder() override {
    const DWORD needed = ::GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(needed, L'\0');
    const DWORD length = ::GetCurrentDirectoryW(needed, folder.data());
    if (needed == 0 || length == 0 || length >= needed) {
      throw WindowsError(".", "find the current folder", ::GetLastError());
    }
    folder.resize(length);
    if (folder.starts_with(L"\\\\?\\")) folder.erase(0, 4);
    if (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
    return Utf8(folder);
  }

  // Windows tells whether a folder takes new files only by trying: a hidden
  // file that is gone again when its handle closes.
  bool IsWritableFolder(const std::string& folder) override {
    const std::string probe = PathInFolder(folder, ".zerova-" + RandomLetters(folder) + ".tmp");
    ScopedHandle file(::CreateFileW(
        WidePath(probe).c_str(), GENERIC_WRITE, kShareAll, nullptr, CREATE_NEW,
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return file.valid();
  }

  bool SameFile(const std::string& followed, const std::string& path) override {
    ScopedHandle first(::CreateFileW(WidePath(followed).c_str(), FILE_READ_ATTRIBUTES, kShareAll,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    ScopedHandle second = OpenExisting(path, FILE_READ_ATTRIBUTES);
    BY_HANDLE_FILE_INFORMATION a, b;
    return first.valid() && second.valid() && Describe(first.get(), &a) &&
           Describe(second.get(), &b) && IdOf(a) == IdOf(b);
  }

 private:
  // Makes the folder `folder` unless a folder stands there already.
  static void MakeFolder(const std::string& folder) {
    const std::wstring wide = WidePath(folder);
    if (::CreateDirectoryW(wide.c_str(), nullptr)) return;
    const DWORD error = ::GetLastError();
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (error != ERROR_ALREADY_EXISTS && attributes == INVALID_FILE_ATTRIBUTES) {
      throw WindowsError(folder, "create the folder", error);
    }
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      throw FileSystemError(folder, "is not a folder, so no folder can be made in it");
    }
  }
};

}  // namespace

std::unique_ptr<FileSystem> NewLocalFileSystem() { return std::make_unique<LocalFileSystem>(); }

// Windows keeps a file read-only by its attribute, not by rights.
const char* MakeWritableAdvice() {
  return "make it writable (attrib -r, or untick Read-only in its Properties)";
}

}  // namespace zerova
