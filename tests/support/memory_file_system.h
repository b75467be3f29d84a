// Test doubles for FileSystem: an in-memory disk, a wrapper that forwards every
// call and fails chosen ones, and a file system that discards every line.
#ifndef ZEROVA_TESTS_SUPPORT_MEMORY_FILE_SYSTEM_H_
#define ZEROVA_TESTS_SUPPORT_MEMORY_FILE_SYSTEM_H_

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "services/file_system.h"
#include "services/forwarding_file_system.h"

namespace zerova::test {

// Files are strings keyed by path, in the program folder (/home/ada/zerova unless
// set) and the current folder /work; each has an inode number of its own, kept across a
// rename, so a lock tells its file from another put in its place. Every call is
// recorded in `calls()` as "Op path" (ProgramFolder, CurrentFolder and
// IsWritableFolder as "Op" alone). A lock is always granted.
class MemoryFileSystem : public FileSystem {
 public:
  PathKind Examine(const std::string& path) override;
  bool DeleteFile(const std::string& path) override;
  bool CreateNewFile(const std::string& path) override;
  void AppendLineToFile(const std::string& path, std::string_view line,
                        const FileLock& locked) override;
  void CheckAppendable(const std::string& path, const FileLock& locked) override;
  bool RemoveFileIfSame(const std::string& path, FileId id) override;
  std::unique_ptr<FileLock> LockFile(const std::string& path) override;
  std::unique_ptr<NewFile> CreateTemporaryFile(const std::string& final_path) override;
  void ReplaceFile(const std::string& from, const std::string& to) override;
  void CreateFolders(const std::string& path) override;
  std::uint64_t SpaceFor(const std::string& path) override;
  std::uint64_t FreeSpaceBeside(const std::string& path) override;
  std::uint64_t FileSizeLimit() override { return size_limit_; }
  std::string ProgramFolder() override;
  std::string CurrentFolder() override;
  bool IsWritableFolder(const std::string& folder) override;

  // Test controls.
  void SetFile(const std::string& path, std::string contents);
  // Puts something that is no file at `path`: a symbolic link (its target is
  // not modelled), a folder, a read-only file or a FIFO.
  void SetKind(const std::string& path, PathKind kind);
  // Moves the file at `from` to `to`, replacing what stands there, as rename(2) does.
  void Rename(const std::string& from, const std::string& to);
  void AppendBytes(const std::string& path, std::string_view bytes) {
    files_.at(path).contents.append(bytes);
  }
  void SetFolderWritable(bool writable) { folder_writable_ = writable; }
  void SetProgramFolder(std::string folder) { program_folder_ = std::move(folder); }
  // The space SpaceFor reports besides the file's own size; by default unknown.
  void SetFreeSpace(std::uint64_t bytes) { free_space_ = bytes; }
  void SetFileSizeLimit(std::uint64_t bytes) { size_limit_ = bytes; }
  // New files' writes fail with `error_number` once they hold `bytes` bytes, as
  // a full disk or an I/O error fails them; a rename fails with `rename_error`.
  void FailWritesAt(std::uint64_t bytes, int error_number) {
    fail_at_ = bytes;
    write_error_ = error_number;
  }
  void FailRenames(int error_number) { rename_error_ = error_number; }
  // The paths of every file, sorted.
  std::vector<std::string> Paths() const;

  bool Has(const std::string& path) const { return files_.count(path) != 0; }
  const std::string& Contents(const std::string& path) const { return files_.at(path).contents; }
  const std::vector<std::string>& calls() const { return calls_; }

 private:
  struct Entry {
    std::string contents;
    std::uint64_t inode = 0;
    PathKind kind = PathKind::kFile;
  };
  class Lock;
  class File;

  Entry& NewEntry(const std::string& path);
  // The entry of the file `inode` wherever its name is now; null when it has none.
  Entry* Find(std::uint64_t inode);

  std::string program_folder_ = "/home/ada/zerova";
  bool folder_writable_ = true;
  std::uint64_t free_space_ = kUnknownSpace;
  std::uint64_t size_limit_ = kNoLimit;
  std::uint64_t fail_at_ = kNoLimit;
  int write_error_ = 0;
  int rename_error_ = 0;
  int temporaries_ = 0;
  std::uint64_t next_inode_ = 1;
  std::map<std::string, Entry> files_;
  std::vector<std::string> calls_;
};

// A disk that fills up: the `full_at`th AppendLineToFile (counted from 1) and
// every later one store the first `kept` bytes of their line, as a short write
// does, then fail as a full disk does.
class FullDiskFileSystem final : public ForwardingFileSystem {
 public:
  FullDiskFileSystem(MemoryFileSystem& disk, int full_at, std::size_t kept)
      : ForwardingFileSystem(disk), disk_(disk), full_at_(full_at), kept_(kept) {}

  void AppendLineToFile(const std::string& path, std::string_view line,
                        const FileLock& locked) override;

 private:
  MemoryFileSystem& disk_;
  int full_at_;
  std::size_t kept_;
  int appends_ = 0;
};

// A lock that holds nothing, for file systems that keep no files.
class NoLock final : public FileLock {
 public:
  FileId id() const override { return {}; }
  void Truncate() override {}
};

// Discards every line; the cost of reading and text building alone.
class NullFileSystem final : public FileSystem {
 public:
  PathKind Examine(const std::string&) override { return PathKind::kFile; }
  bool DeleteFile(const std::string&) override { return true; }
  bool CreateNewFile(const std::string&) override { return true; }
  void AppendLineToFile(const std::string&, std::string_view, const FileLock&) override {}
  void CheckAppendable(const std::string&, const FileLock&) override {}
  bool RemoveFileIfSame(const std::string&, FileId) override { return true; }
  std::unique_ptr<FileLock> LockFile(const std::string&) override {
    return std::make_unique<NoLock>();
  }
  std::unique_ptr<NewFile> CreateTemporaryFile(const std::string& final_path) override;
  void ReplaceFile(const std::string&, const std::string&) override {}
  void CreateFolders(const std::string&) override {}
  std::uint64_t SpaceFor(const std::string&) override { return kUnknownSpace; }
  std::uint64_t FreeSpaceBeside(const std::string&) override { return kUnknownSpace; }
  std::uint64_t FileSizeLimit() override { return kNoLimit; }
  std::string ProgramFolder() override { return "/nowhere"; }
  std::string CurrentFolder() override { return "/nowhere"; }
  bool IsWritableFolder(const std::string&) override { return true; }
};

}  // namespace zerova::test

#endif  // ZEROVA_TESTS_SUPPORT_MEMORY_FILE_SYSTEM_H_
