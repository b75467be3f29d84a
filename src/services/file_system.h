// FileSystem: the file operations the conversion needs, behind one interface.
//
// The real one works on the local disk (NewLocalFileSystem); tests use an
// in-memory one and wrappers that fail chosen calls or change the disk between
// two calls; the benchmark uses one that discards lines. Paths are UTF-8 text.
// Every failure throws a FileSystemError that names the file. Each operation
// stands for a fixed, small number of system calls on the local disk, given at
// its declaration.
//
// Files are the user's: nothing here follows a symbolic link in a file's place,
// creates a file by opening what is already there, or writes into anything but
// a regular file.
#ifndef ZEROVA_SERVICES_FILE_SYSTEM_H_
#define ZEROVA_SERVICES_FILE_SYSTEM_H_

#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

#include "services/paths.h"

namespace zerova {

// What stands at a path, as one look at it finds it.
enum class PathKind {
  kMissing,       // nothing
  kFile,          // a regular file that may be replaced, holding bytes
  kEmptyFile,     // the same, empty
  kReadOnlyFile,  // a regular file whose mode has no owner write bit
  kFolder,
  kLink,   // a symbolic link, wherever it leads
  kOther,  // a FIFO, a device or a socket
};

// A file's identity on its disk: the same pair, the same file, whatever its name.
struct FileId {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  bool operator==(const FileId&) const = default;
};

// What a lock found of its file as it took it: what decides whether a run may
// write into that file at all.
struct LockedFileFacts {
  // How many names (hard links) the file has. With more than one, the bytes
  // written into it show under the other names too.
  std::uint64_t names = 1;
  // The file belongs to another user and stands in a folder open to all, with
  // the sticky bit (as /tmp), where that user would keep reading what is
  // written into it. Never true where files have no such owners.
  bool others_in_shared_folder = false;
};

// A regular file held open and locked; destroying it closes the file and
// releases the lock.
class FileLock {
 public:
  static constexpr std::uint64_t kUnknownSize = std::numeric_limits<std::uint64_t>::max();

  FileLock() = default;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  virtual ~FileLock() = default;

  // The locked file's identity.
  virtual FileId id() const = 0;

  // What the lock found of the file as it took it.
  virtual LockedFileFacts facts() const = 0;

  // The locked file's size now, wherever its name is, through the descriptor
  // the lock holds (one fstat); kUnknownSize when the system does not say.
  virtual std::uint64_t Size() const = 0;

  // Empties the locked file, through the descriptor the lock holds, never by
  // its name (one ftruncate). Throws FileSystemError when it cannot.
  virtual void Truncate() = 0;
};

// A new file held open for writing; destroying it closes it (and leaves it
// where it is: removing it is the caller's decision).
class NewFile {
 public:
  NewFile() = default;
  NewFile(const NewFile&) = delete;
  NewFile& operator=(const NewFile&) = delete;
  virtual ~NewFile() = default;

  const std::string& path() const { return path_; }
  FileId id() const { return id_; }

  // Appends `bytes` (write calls until all are written). Throws
  // FileSystemError when they cannot be written (a full disk, EFBIG past the
  // process's file-size limit, an I/O error).
  virtual void Write(std::string_view bytes) = 0;

  // Closes the file, reporting what only the close tells (a network disk's
  // delayed write error); a second call does nothing. Throws FileSystemError.
  virtual void Close() = 0;

 protected:
  std::string path_;
  FileId id_;
};

class FileSystem {
 public:
  static constexpr std::uint64_t kUnknownSpace = std::numeric_limits<std::uint64_t>::max();
  static constexpr std::uint64_t kNoLimit = std::numeric_limits<std::uint64_t>::max();

  FileSystem() = default;
  FileSystem(const FileSystem&) = delete;
  FileSystem& operator=(const FileSystem&) = delete;
  virtual ~FileSystem() = default;

  // What stands at `path`, without following a final symbolic link (one lstat).
  // Anything that keeps the look from succeeding counts as kMissing.
  virtual PathKind Examine(const std::string& path) = 0;

  // Removes the name `path` (a file, or a symbolic link itself), read-only or
  // not: the caller decides, with Examine, whether it may (one unlink). Returns
  // false, and is no failure, when the name is already gone.
  virtual bool DeleteFile(const std::string& path) = 0;

  // Creates a new, empty file at `path` (open with O_CREAT | O_EXCL |
  // O_NOFOLLOW, close): whatever already stands there, a file or a symbolic
  // link, is never opened. Returns false when the name is taken.
  virtual bool CreateNewFile(const std::string& path) = 0;

  // Opens the existing file at `path` for appending, never creating it and never
  // through a symbolic link, checks that it is the file `locked` holds, writes
  // `line` and CR LF, and closes it again (open, fstat, one write, close).
  // Throws FileSystemError when it cannot be opened or written, and
  // ReplacedFileError, having written nothing, when another file stands at
  // `path` now.
  virtual void AppendLineToFile(const std::string& path, std::string_view line,
                                const FileLock& locked) = 0;

  // Opens the file at `path` as AppendLineToFile does and closes it again,
  // writing nothing (open, fstat, close): whether a line could be appended now.
  // Throws as AppendLineToFile does.
  virtual void CheckAppendable(const std::string& path, const FileLock& locked) = 0;

  // True iff the name `path` itself (a symbolic link there as the link) names
  // the file `id` now (one lstat).
  virtual bool IsFileAt(const std::string& path, FileId id) = 0;

  // Removes the name `path` when it still names the file `id` (one lstat, one
  // unlink): a file put in its place since, by a rename or otherwise, is left
  // as it is. Returns false, having removed nothing, when another file or
  // nothing stands there. Throws FileSystemError when the unlink fails.
  virtual bool RemoveFileIfSame(const std::string& path, FileId id) = 0;

  // Opens the file at `path` for writing and takes an exclusive lock on it,
  // held until the returned lock is destroyed. A missing file is created empty
  // (O_EXCL); an existing one is left as it is. Nothing is followed or opened
  // through a symbolic link, and anything but a regular file is refused. The
  // lock belongs to the returned object alone: other opens and closes of the
  // same file, in this process or another, neither release it nor share it.
  // Returns nullptr, at once and with the file unchanged, when another holder
  // has the lock. On a file system that keeps no locks the returned object holds
  // none. What stands at `path` is looked at first (one lstat), so a device or
  // a FIFO there is refused without being opened. Throws
  // FileSystemError when a symbolic link or something other than a file stands
  // at `path`, or it cannot be opened for writing or created.
  virtual std::unique_ptr<FileLock> LockFile(const std::string& path) = 0;

  // Creates a new file, open for writing, in the folder of `final_path`, under a
  // name of its own that nobody can guess (".NAME.XXXXXXXXXXXX.tmp", O_CREAT |
  // O_EXCL | O_NOFOLLOW), to be put in place later by ReplaceFile. Its mode is
  // what a new file gets (0666 less the umask), or, when a regular file stands at
  // `final_path`, that file's permission bits. Until it is closed it is held
  // (locked, or kept open), so that no run takes it for abandoned.
  // Throws FileSystemError naming the folder when it cannot be created there.
  virtual std::unique_ptr<NewFile> CreateTemporaryFile(const std::string& final_path) = 0;

  // Removes what runs ended outright (SIGKILL, a power cut) left of the
  // temporary files CreateTemporaryFile made for `final_path`: the files in its
  // folder named as it names them, that are this user's, regular, of one name,
  // unchanged for an hour and held by no process (the run writing one holds
  // it, until it ends however it ends). A file about which any of this cannot
  // be told is left, so where the file system keeps no locks nothing is
  // removed. A folder may be listed once per object (a batch into one folder
  // lists it once), so files left there later wait for a later run. Never
  // throws: what cannot be removed stays.
  virtual void RemoveAbandonedTemporaryFiles(const std::string& final_path) = 0;

  // Renames `from` over `to` in one step (one rename): a reader of `to` sees
  // the earlier file or the new one, never a part. Throws FileSystemError
  // naming `to` when it fails; `from` then stays.
  virtual void ReplaceFile(const std::string& from, const std::string& to) = 0;

  // Creates the folder `path` and every missing folder above it, as `mkdir -p`
  // does. Throws FileSystemError naming the folder that cannot be made, or
  // something other than a folder that stands in the way.
  virtual void CreateFolders(const std::string& path) = 0;

  // The bytes a file at `path` may hold once emptied: the space its file system
  // has free for this user, plus what the file there now takes (one statvfs,
  // one lstat). kUnknownSpace when the file system does not say.
  virtual std::uint64_t SpaceFor(const std::string& path) = 0;

  // The space free for this user on the file system of `path`'s folder, where a
  // new file beside `path` would go (one statvfs). kUnknownSpace when the file
  // system does not say.
  virtual std::uint64_t FreeSpaceBeside(const std::string& path) = 0;

  // The largest file this process may write (RLIMIT_FSIZE, `ulimit -f`), in
  // bytes; kNoLimit when there is none.
  virtual std::uint64_t FileSizeLimit() = 0;

  // The folder that holds the running program's executable, without a trailing
  // separator (except for the root folder "/").
  virtual std::string ProgramFolder() = 0;

  // The process's current working directory as a full path, without a trailing
  // separator (except for "/"). Throws FileSystemError when it cannot be found
  // (it has been removed, say).
  virtual std::string CurrentFolder() = 0;

  // True iff the user running the program may create files in `folder`.
  virtual bool IsWritableFolder(const std::string& folder) = 0;

  // True iff `followed`, after its symbolic links, and `path`, itself, are one
  // existing file, under two names or one.
  virtual bool SameFile(const std::string& followed, const std::string& path) = 0;
};

// The local disk. The returned object holds no state between calls but the
// temporary files found in the folders RemoveAbandonedTemporaryFiles listed.
std::unique_ptr<FileSystem> NewLocalFileSystem();

// What a message advises for a read-only file (PathKind::kReadOnlyFile), in
// this platform's words: "make it writable (chmod u+w)" on POSIX systems.
const char* MakeWritableAdvice();

}  // namespace zerova

#endif  // ZEROVA_SERVICES_FILE_SYSTEM_H_
