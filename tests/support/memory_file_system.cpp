#include "support/memory_file_system.h"

#include "services/error.h"

namespace zerova::testing {

MemoryFileSystem::MemoryFileSystem(std::string program_folder)
    : program_folder_(std::move(program_folder)) {}

bool MemoryFileSystem::FileExists(const std::string& path) {
  calls_.push_back("FileExists " + path);
  if (vanishing_.erase(path) != 0) {
    files_.erase(path);
    return true;
  }
  return files_.count(path) != 0;
}

bool MemoryFileSystem::DeleteFile(const std::string& path) {
  calls_.push_back("DeleteFile " + path);
  if (files_.count(path) == 0) return false;
  if (read_only_.count(path) != 0) {
    throw FileSystemError(path, "the file is read-only and cannot be replaced");
  }
  files_.erase(path);
  return true;
}

void MemoryFileSystem::CreateTextFile(const std::string& path) {
  calls_.push_back("CreateTextFile " + path);
  if (read_only_.count(path) != 0) throw FileSystemError(path, "could not create the file");
  files_[path].clear();
}

void MemoryFileSystem::AppendLineToFile(const std::string& path, std::string_view line) {
  calls_.push_back("AppendLineToFile " + path);
  auto it = files_.find(path);
  if (it == files_.end()) throw FileSystemError(path, "could not open the file for appending");
  it->second.append(line);
  it->second.append("\r\n");
}

std::string MemoryFileSystem::ProgramFolder() { return program_folder_; }

bool MemoryFileSystem::IsWritableFolder(const std::string&) { return folder_writable_; }

}  // namespace zerova::testing
