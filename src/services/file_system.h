// FileSystem: the file operations the conversion needs, behind one interface.
//
// The real one works on the local disk (NewLocalFileSystem); tests use an
// in-memory one and wrappers that fail chosen calls; the benchmark uses one that
// discards lines. Paths are UTF-8 text. Every failure throws a FileSystemError
// that names the file.
#ifndef ZEROVA_SERVICES_FILE_SYSTEM_H_
#define ZEROVA_SERVICES_FILE_SYSTEM_H_

#include <memory>
#include <string>
#include <string_view>

namespace zerova {

class FileSystem {
 public:
  FileSystem() = default;
  FileSystem(const FileSystem&) = delete;
  FileSystem& operator=(const FileSystem&) = delete;
  virtual ~FileSystem() = default;

  // True iff a file (not a folder) exists at `path`.
  virtual bool FileExists(const std::string& path) = 0;

  // Removes the file at `path`, without forcing: a read-only file (one whose mode
  // has no owner write bit) is not removed, whoever runs the program, and throws.
  // Returns false, and is no failure, when the file is already gone: another
  // process may have removed it since the caller's FileExists.
  virtual bool DeleteFile(const std::string& path) = 0;

  // Creates an empty file at `path`, replacing any file there.
  virtual void CreateTextFile(const std::string& path) = 0;

  // Opens the existing file at `path` for appending (never creating it), writes
  // `line` and CR LF, and closes it again.
  virtual void AppendLineToFile(const std::string& path, std::string_view line) = 0;

  // The folder that holds the running program's executable, without a trailing
  // separator (except for the root folder "/").
  virtual std::string ProgramFolder() = 0;

  // True iff the user running the program may create files in `folder`.
  virtual bool IsWritableFolder(const std::string& folder) = 0;
};

// The local disk. The returned object holds no state between calls.
std::unique_ptr<FileSystem> NewLocalFileSystem();

}  // namespace zerova

#endif  // ZEROVA_SERVICES_FILE_SYSTEM_H_
