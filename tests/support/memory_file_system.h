// Test doubles for FileSystem: an in-memory disk, a wrapper that forwards every
// call and fails chosen ones, and a file system that discards every line.
#ifndef ZEROVA_TESTS_SUPPORT_MEMORY_FILE_SYSTEM_H_
#define ZEROVA_TESTS_SUPPORT_MEMORY_FILE_SYSTEM_H_

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "services/file_system.h"

namespace zerova::testing {

// Files are strings keyed by path, in the program folder /opt/zerova and the
// current folder /work. Every call is recorded in `calls()` as "Op path" (ProgramFolder,
// CurrentFolder and IsWritableFolder as "Op" alone). A lock is always granted.
class MemoryFileSystem : public FileSystem {
 public:
  PathKind Examine(const std::string& path) override;
  bool DeleteFile(const std::string& path) override;
  void CreateTextFile(const std::string& path) override;
  void AppendLineToFile(const std::string& path, std::string_view line) override;
  std::unique_ptr<FileLock> LockFile(const std::string& path) override;
  std::string ProgramFolder() override;
  std::string CurrentFolder() override;
  bool IsWritableFolder(const std::string& folder) override;

  // Test controls.
  void SetFile(const std::string& path, std::string contents) {
    files_[path] = std::move(contents);
  }
  void AppendBytes(const std::string& path, std::string_view bytes) {
    files_.at(path).append(bytes);
  }
  void SetFolderWritable(bool writable) { folder_writable_ = writable; }

  bool Has(const std::string& path) const { return files_.count(path) != 0; }
  const std::string& Contents(const std::string& path) const { return files_.at(path); }
  const std::vector<std::string>& calls() const { return calls_; }

 private:
  bool folder_writable_ = true;
  std::map<std::string, std::string> files_;
  std::vector<std::string> calls_;
};

// Forwards every call to `base`; a subclass overrides the calls it fails.
class FileSystemWrapper : public FileSystem {
 public:
  explicit FileSystemWrapper(FileSystem& base) : base_(base) {}

  PathKind Examine(const std::string& path) override { return base_.Examine(path); }
  bool DeleteFile(const std::string& path) override { return base_.DeleteFile(path); }
  void CreateTextFile(const std::string& path) override { base_.CreateTextFile(path); }
  void AppendLineToFile(const std::string& path, std::string_view line) override {
    base_.AppendLineToFile(path, line);
  }
  std::unique_ptr<FileLock> LockFile(const std::string& path) override {
    return base_.LockFile(path);
  }
  std::string ProgramFolder() override { return base_.ProgramFolder(); }
  std::string CurrentFolder() override { return base_.CurrentFolder(); }
  bool IsWritableFolder(const std::string& folder) override {
    return base_.IsWritableFolder(folder);
  }

 private:
  FileSystem& base_;
};

// A disk that fills up: the `full_at`th AppendLineToFile (counted from 1) and
// every later one store the first `kept` bytes of their line, as a short write
// does, then fail as a full disk does.
class FullDiskFileSystem final : public FileSystemWrapper {
 public:
  FullDiskFileSystem(MemoryFileSystem& disk, int full_at, std::size_t kept)
      : FileSystemWrapper(disk), disk_(disk), full_at_(full_at), kept_(kept) {}

  void AppendLineToFile(const std::string& path, std::string_view line) override;

 private:
  MemoryFileSystem& disk_;
  int full_at_;
  std::size_t kept_;
  int appends_ = 0;
};

// Discards every line; the cost of reading and text building alone.
class NullFileSystem final : public FileSystem {
 public:
  PathKind Examine(const std::string&) override { return PathKind::kFile; }
  bool DeleteFile(const std::string&) override { return true; }
  void CreateTextFile(const std::string&) override {}
  void AppendLineToFile(const std::string&, std::string_view) override {}
  std::unique_ptr<FileLock> LockFile(const std::string&) override {
    return std::make_unique<FileLock>();
  }
  std::string ProgramFolder() override { return "/nowhere"; }
  std::string CurrentFolder() override { return "/nowhere"; }
  bool IsWritableFolder(const std::string&) override { return true; }
};

}  // namespace zerova::testing

#endif  // ZEROVA_TESTS_SUPPORT_MEMORY_FILE_SYSTEM_H_
