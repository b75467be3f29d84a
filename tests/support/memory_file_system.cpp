#include "support/memory_file_system.h"

#include <algorithm>
#include <cerrno>

#include "services/error.h"

namespace zerova::testing {

PathKind MemoryFileSystem::Examine(const std::string& path) {
  calls_.push_back("Examine " + path);
  return files_.count(path) == 0 ? PathKind::kMissing : PathKind::kFile;
}

bool MemoryFileSystem::DeleteFile(const std::string& path) {
  calls_.push_back("DeleteFile " + path);
  return files_.erase(path) != 0;
}

void MemoryFileSystem::CreateTextFile(const std::string& path) {
  calls_.push_back("CreateTextFile " + path);
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
  files_.emplace(path, std::string());
  return std::make_unique<FileLock>();
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
