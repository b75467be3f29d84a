// MemoryFileSystem: an in-memory disk, the FileSystem of the conversion's tests.
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

namespace zerova::test {

// The default document and scratch file on this disk, and an earlier document.
inline constexpr const char* kDocument = "/work/xmlstructure.xml";
inline constexpr const char* kScratch = "/home/ada/zerova/xmlstr.xml";
inline constexpr const char* kEarlier = "an earlier document\r\n";

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
  bool IsFileAt(const std::string& path, FileId id) override;
  bool RemoveFileIfSame(const std::string& path, FileId id) override;
  std::unique_ptr<FileLock> LockFile(const std::string& path) override;
  std::unique_ptr<NewFile> CreateTemporaryFile(const std::string& final_path) override;
  void RemoveAbandonedTemporaryFiles(const std::string& final_path) override;
  void ReplaceFile(const std::string& from, const std::string& to) override;
  void CreateFolders(const std::string& path) override;
  std::uint64_t SpaceFor(const std::string& path) override;
  std::uint64_t FreeSpaceBeside(const std::string& path) override;
  std::uint64_t FileSizeLimit() override { return size_limit_; }
  std::string ProgramFolder() override;
  std::string CurrentFolder() override;
  bool IsWritableFolder(const std::string& folder) override;
  bool SameFile(const std::string&, const std::string&) override { return false; }

  // Test controls.
  void SetFile(const std::string& path, std::string contents);
  // Puts something that is no file at `path`: a symbolic link (its target is
  // not modelled), a folder, a read-only file or a FIFO.
  void SetKind(const std::string& path, PathKind kind);
  // Moves the file at `from` to `to`, replacing what stands there, as rename(2) does.
  void Rename(const std::string& from, const std::string& to);
  void SetFolderWritable(bool writable) { folder_writable_ = writable; }
  void SetProgramFolder(std::string folder) { program_folder_ = std::move(folder); }
  // The space SpaceFor reports besides the file's own size; by default unknown.
  void SetFreeSpace(std::uint64_t bytes) { free_space_ = bytes; }
  void SetFileSizeLimit(std::uint64_t bytes) { size_limit_ = bytes; }
  // Writes and appended lines fail with `error_number` once their file would
  // hold more than `bytes` bytes, keeping what fits, as a full disk or an I/O
  // error fails them; a rename fails with `rename_error`.
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
  // Appends `bytes` to `entry`, as far as FailWritesAt lets them go.
  void Store(Entry& entry, const std::string& path, std::string_view bytes);
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

}  // namespace zerova::test

#endif  // ZEROVA_TESTS_SUPPORT_MEMORY_FILE_SYSTEM_H_
