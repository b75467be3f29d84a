// Test doubles for FileSystem: an in-memory disk, and a wrapper that fails chosen calls.
#ifndef ZEROVA_TESTS_SUPPORT_MEMORY_FILE_SYSTEM_H_
#define ZEROVA_TESTS_SUPPORT_MEMORY_FILE_SYSTEM_H_

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "services/file_system.h"

namespace zerova::testing {

// Files are strings keyed by path; a file marked read-only refuses DeleteFile as the
// real one does. Every call is recorded in `calls()` as "Op path".
class MemoryFileSystem : public FileSystem {
 public:
  explicit MemoryFileSystem(std::string program_folder = "/opt/zerova");

  bool FileExists(const std::string& path) override;
  bool DeleteFile(const std::string& path) override;
  void CreateTextFile(const std::string& path) override;
  void AppendLineToFile(const std::string& path, std::string_view line) override;
  std::string ProgramFolder() override;
  bool IsWritableFolder(const std::string& folder) override;

  // Test controls.
  void SetFile(const std::string& path, std::string contents) {
    files_[path] = std::move(contents);
  }
  void SetReadOnly(const std::string& path) { read_only_.insert(path); }
  void SetFolderWritable(bool writable) { folder_writable_ = writable; }
  // The next FileExists on `path` answers true although the file is gone: another
  // process removed it between the test and the delete.
  void VanishBeforeDelete(const std::string& path) { vanishing_.insert(path); }

  bool Has(const std::string& path) const { return files_.count(path) != 0; }
  const std::string& Contents(const std::string& path) const { return files_.at(path); }
  const std::vector<std::string>& calls() const { return calls_; }

 private:
  std::string program_folder_;
  bool folder_writable_ = true;
  std::map<std::string, std::string> files_;
  std::set<std::string> read_only_;
  std::set<std::string> vanishing_;
  std::vector<std::string> calls_;
};

// Discards every line; the cost of reading and text building alone.
class NullFileSystem final : public FileSystem {
 public:
  bool FileExists(const std::string&) override { return true; }
  bool DeleteFile(const std::string&) override { return true; }
  void CreateTextFile(const std::string&) override {}
  void AppendLineToFile(const std::string&, std::string_view) override {}
  std::string ProgramFolder() override { return "/nowhere"; }
  bool IsWritableFolder(const std::string&) override { return true; }
};

}  // namespace zerova::testing

#endif  // ZEROVA_TESTS_SUPPORT_MEMORY_FILE_SYSTEM_H_
