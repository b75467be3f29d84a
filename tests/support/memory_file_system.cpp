#include "support/memory_file_system.h"

#include <algorithm>
#include <cerrno>

#include "services/error.h"

namespace zerova::testing {

// Holds `path` in the disk's locked set while it lives.
class MemoryFileSystem::Lock final : public FileLock {
 public:
  Lock(std::set<std::string>& locked, std::string path) : locked_(locked), path_(std::move(path)) {
    locked_.insert(path_);
  }
  ~Lock() override { locked_.erase(path_); }

 private:
  std::set<std::string>& locked_;
  std::string path_;
};

PathKind MemoryFileSystem::Examine(const std::string& path) {
  calls_.push_back("Examine " + path);
  if (vanishing_.erase(path) != 0) {
    files_.erase(path);
    return PathKind::kFile;
  }
  if (files_.count(path) == 0) return PathKind::kMissing;
  return read_only_.count(path) != 0 ? PathKind::kReadOnlyFile : PathKind::kFile;
}

bool MemoryFileSystem::DeleteFile(const std::string& path) {
  calls_.push_back("DeleteFile " + path);
  return files_.erase(path) != 0;
}

void MemoryFileSystem::CreateTextFile(const std::string& path) {
  calls_.push_back("CreateTextFile " + path);
  if (read_only_.count(path) != 0) throw PosixError(path, "create the file", EACCES);
  files_[path].clear();
}

void MemoryFileSystem::AppendLineToFile(const std::string& path, std::string_view line) {
  calls_.push_back("AppendLineToFile " + path);
  auto it = files_.find(path);
  if (it == files_.end()) throw PosixError(path, "open the file for appending", ENOENT);
  it->second.append(line);
  it->second.append("\r\n");
}

std::unique_ptr<FileLock> MemoryFileSystem::LockFile(const std::string& path) {
  calls_.push_back("LockFile " + path);
  if (read_only_.count(path) != 0) throw PosixError(path, "open the file for writing", EACCES);
  if (locked_.count(path) != 0) return nullptr;
  files_.emplace(path, std::string());
  return std::make_unique<Lock>(locked_, path);
}

std::string MemoryFileSystem::ProgramFolder() {
  calls_.push_back("ProgramFolder");
  return "/opt/zerova";
}

std::string MemoryFileSystem::CurrentFolder() {
  calls_.push_back("CurrentFolder");
  return "/work";
}

bool MemoryFileSystem::IsWritableFolder(const std::string&) {
  calls_.push_back("IsWritableFolder");
  return folder_writable_;
}

void FullDiskFileSystem::AppendLineToFile(const std::string& path, std::string_view line) {
  if (++appends_ < full_at_) {
    FileSystemWrapper::AppendLineToFile(path, line);
    return;
  }
  disk_.AppendBytes(path, line.substr(0, std::min(kept_, line.size())));
  throw PosixError(path, "write to the file", ENOSPC);
}

}  // namespace zerova::testing
