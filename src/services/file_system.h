// FileSystem: the file operations the conversion needs, behind one interface.
//
// The real one works on the local disk (NewLocalFileSystem); tests use an
// in-memory one and wrappers that fail chosen calls; the benchmark uses one that
// discards lines. Paths are UTF-8 text. Every failure throws a FileSystemError
// that names the file. Each operation stands for a fixed, small number of system
// calls on the local disk, given at its declaration.
#ifndef ZEROVA_SERVICES_FILE_SYSTEM_H_
#define ZEROVA_SERVICES_FILE_SYSTEM_H_

#include <memory>
#include <string>
#include <string_view>

namespace zerova {

// What stands at a path, as one look at it finds it.
enum class PathKind {
  kMissing,       // nothing
  kFile,          // a file that may be replaced (a symbolic link counts as a file)
  kReadOnlyFile,  // a file whose mode has no owner write bit: read-only, whoever asks
  kFolder,
};

// A lock held on a file; destroying it releases the lock.
class FileLock {
 public:
  FileLock() = default;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  virtual ~FileLock() = default;
};

class FileSystem {
 public:
  FileSystem() = default;
  FileSystem(const FileSystem&) = delete;
  FileSystem& operator=(const FileSystem&) = delete;
  virtual ~FileSystem() = default;

  // What stands at `path`, without following a final symbolic link (one lstat).
  // Anything that keeps the look from succeeding counts as kMissing.
  virtual PathKind Examine(const std::string& path) = 0;

  // Removes the file at `path`, read-only or not: the caller decides, with
  // Examine, whether it may (one unlink). Returns false, and is no failure, when
  // the file is already gone: another process may have removed it since.
  virtual bool DeleteFile(const std::string& path) = 0;

  // Creates an empty file at `path`, replacing any file there (open, close).
  virtual void CreateTextFile(const std::string& path) = 0;

  // Opens the existing file at `path` for appending (never creating it), writes
  // `line` and CR LF, and closes it again (open, one write, close).
  virtual void AppendLineToFile(const std::string& path, std::string_view line) = 0;

  // Takes an exclusive lock on the file at `path` and holds it until the
  // returned lock is destroyed. The file is opened for writing and created
  // empty when missing; an existing file is left as it is. The lock belongs to
  // the returned object alone: other opens and closes of the same file, in this
  // process or another, neither release it nor share it.
  // Returns nullptr, at once and with the file unchanged, when another holder
  // has the lock. On a file system that keeps no locks the returned object holds
  // none. Throws FileSystemError when the file cannot be opened for writing or
  // created.
  virtual std::unique_ptr<FileLock> LockFile(const std::string& path) = 0;

  // The folder that holds the running program's executable, without a trailing
  // separator (except for the root folder "/").
  virtual std::string ProgramFolder() = 0;

  // The process's current working directory as a full path, without a trailing
  // separator (except for "/"). Throws FileSystemError when it cannot be found
  // (it has been removed, say).
  virtual std::string CurrentFolder() = 0;

  // True iff the user running the program may create files in `folder`.
  virtual bool IsWritableFolder(const std::string& folder) = 0;
};

// `name` in `folder`, joined with one separator.
inline std::string PathInFolder(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (path.empty() || path.back() != '/') path.push_back('/');
  path.append(name);
  return path;
}

// The local disk. The returned object holds no state between calls.
std::unique_ptr<FileSystem> NewLocalFileSystem();

}  // namespace zerova

#endif  // ZEROVA_SERVICES_FILE_SYSTEM_H_
