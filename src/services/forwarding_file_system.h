// ForwardingFileSystem: a FileSystem that hands every call to another one. A
// subclass overrides only the calls it changes: a guard that wraps the lock,
// or, in tests, a disk that fails or is meddled with at a chosen call.
#ifndef ZEROVA_SERVICES_FORWARDING_FILE_SYSTEM_H_
#define ZEROVA_SERVICES_FORWARDING_FILE_SYSTEM_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "services/file_system.h"

namespace zerova {

class ForwardingFileSystem : public FileSystem {
 public:
  explicit ForwardingFileSystem(FileSystem& base) : base_(base) {}

  PathKind Examine(const std::string& path) override { return base_.Examine(path); }
  bool DeleteFile(const std::string& path) override { return base_.DeleteFile(path); }
  bool CreateNewFile(const std::string& path) override { return base_.CreateNewFile(path); }
  void AppendLineToFile(const std::string& path, std::string_view line,
                        const FileLock& locked) override {
    base_.AppendLineToFile(path, line, locked);
  }
  void CheckAppendable(const std::string& path, const FileLock& locked) override {
    base_.CheckAppendable(path, locked);
  }
  bool IsFileAt(const std::string& path, FileId id) override { return base_.IsFileAt(path, id); }
  bool RemoveFileIfSame(const std::string& path, FileId id) override {
    return base_.RemoveFileIfSame(path, id);
  }
  std::unique_ptr<FileLock> LockFile(const std::string& path) override {
    return base_.LockFile(path);
  }
  std::unique_ptr<NewFile> CreateTemporaryFile(const std::string& final_path) override {
    return base_.CreateTemporaryFile(final_path);
  }
  void RemoveAbandonedTemporaryFiles(const std::string& final_path) override {
    base_.RemoveAbandonedTemporaryFiles(final_path);
  }
  void ReplaceFile(const std::string& from, const std::string& to) override {
    base_.ReplaceFile(from, to);
  }
  void CreateFolders(const std::string& path) override { base_.CreateFolders(path); }
  std::uint64_t SpaceFor(const std::string& path) override { return base_.SpaceFor(path); }
  std::uint64_t FreeSpaceBeside(const std::string& path) override {
    return base_.FreeSpaceBeside(path);
  }
  std::uint64_t FileSizeLimit() override { return base_.FileSizeLimit(); }
  std::string ProgramFolder() override { return base_.ProgramFolder(); }
  std::string CurrentFolder() override { return base_.CurrentFolder(); }
  bool IsWritableFolder(const std::string& folder) override {
    return base_.IsWritableFolder(folder);
  }
  bool SameFile(const std::string& followed, const std::string& path) override {
    return base_.SameFile(followed, path);
  }

 private:
  FileSystem& base_;
};

}  // namespace zerova

#endif  // ZEROVA_SERVICES_FORWARDING_FILE_SYSTEM_H_
