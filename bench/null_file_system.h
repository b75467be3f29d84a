// NullFileSystem: a file system that discards every line, for measuring the cost
// of reading and text building alone.
#ifndef ZEROVA_BENCH_NULL_FILE_SYSTEM_H_
#define ZEROVA_BENCH_NULL_FILE_SYSTEM_H_

#include <memory>
#include <string>
#include <string_view>

#include "services/file_system.h"

namespace zerova::bench {

// Keeps nothing: every call succeeds, every file is empty and nothing is locked.
class NullFileSystem final : public FileSystem {
 public:
  PathKind Examine(const std::string&) override { return PathKind::kFile; }
  bool DeleteFile(const std::string&) override { return true; }
  bool CreateNewFile(const std::string&) override { return true; }
  void AppendLineToFile(const std::string&, std::string_view, const FileLock&) override {}
  void CheckAppendable(const std::string&, const FileLock&) override {}
  bool IsFileAt(const std::string&, FileId) override { return true; }
  bool RemoveFileIfSame(const std::string&, FileId) override { return true; }
  std::unique_ptr<FileLock> LockFile(const std::string&) override {
    return std::make_unique<NoLock>();
  }
  std::unique_ptr<NewFile> CreateTemporaryFile(const std::string&) override {
    return std::make_unique<NullFile>();
  }
  void RemoveAbandonedTemporaryFiles(const std::string&) override {}
  void ReplaceFile(const std::string&, const std::string&) override {}
  void CreateFolders(const std::string&) override {}
  std::uint64_t SpaceFor(const std::string&) override { return kUnknownSpace; }
  std::uint64_t FreeSpaceBeside(const std::string&) override { return kUnknownSpace; }
  std::uint64_t FileSizeLimit() override { return kNoLimit; }
  std::string ProgramFolder() override { return "/nowhere"; }
  std::string CurrentFolder() override { return "/nowhere"; }
  bool IsWritableFolder(const std::string&) override { return true; }
  bool SameFile(const std::string&, const std::string&) override { return false; }

 private:
  class NoLock final : public FileLock {
   public:
    FileId id() const override { return {}; }
    LockedFileFacts facts() const override { return {}; }
    // Nothing is kept, so the size of what was written is not known.
    std::uint64_t Size() const override { return kUnknownSize; }
    void Truncate() override {}
  };
  class NullFile final : public NewFile {
   public:
    void Write(std::string_view) override {}
    void Close() override {}
  };
};

}  // namespace zerova::bench

#endif  // ZEROVA_BENCH_NULL_FILE_SYSTEM_H_
