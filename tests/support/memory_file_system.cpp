#include "support/memory_file_system.h"

#include <algorithm>
#include <cerrno>

#include "services/error.h"

namespace zerova::test {

// Holds the inode of the file locked; Truncate empties that file wherever its
// name is now.
class MemoryFileSystem::Lock final : public FileLock {
 public:
  Lock(MemoryFileSystem& disk, std::uint64_t inode) : disk_(disk), inode_(inode) {}
  FileId id() const override { return {1, inode_}; }
  LockedFileFacts facts() const override { return {}; }
  std::uint64_t Size() const override {
    const Entry* entry = disk_.Find(inode_);
    return entry != nullptr ? entry->contents.size() : kUnknownSize;
  }
  void Truncate() override {
    for (auto& [path, entry] : disk_.files_) {
      if (entry.inode == inode_) entry.contents.clear();
    }
  }

 private:
  MemoryFileSystem& disk_;
  std::uint64_t inode_;
};

// A new file whose writes go to its entry, wherever its name is now.
class MemoryFileSystem::File final : public NewFile {
 public:
  File(MemoryFileSystem& disk, std::string path, std::uint64_t inode) : disk_(disk) {
    path_ = std::move(path);
    id_ = {1, inode};
  }
  void Write(std::string_view bytes) override {
    Entry* entry = disk_.Find(id_.inode);
    if (entry == nullptr) throw PosixError(path_, "write to the file", EBADF);
    disk_.Store(*entry, path_, bytes);
  }
  void Close() override {}

 private:
  MemoryFileSystem& disk_;
};

MemoryFileSystem::Entry* MemoryFileSystem::Find(std::uint64_t inode) {
  for (auto& [path, entry] : files_) {
    if (entry.inode == inode) return &entry;
  }
  return nullptr;
}

std::vector<std::string> MemoryFileSystem::Paths() const {
  std::vector<std::string> paths;
  for (const auto& [path, entry] : files_) paths.push_back(path);
  return paths;
}

MemoryFileSystem::Entry& MemoryFileSystem::NewEntry(const std::string& path) {
  Entry& entry = files_[path];
  entry = Entry();
  entry.inode = next_inode_++;
  return entry;
}

void MemoryFileSystem::SetFile(const std::string& path, std::string contents) {
  NewEntry(path).contents = std::move(contents);
}

void MemoryFileSystem::SetKind(const std::string& path, PathKind kind) {
  NewEntry(path).kind = kind;
}

void MemoryFileSystem::Rename(const std::string& from, const std::string& to) {
  Entry moved = files_.at(from);
  files_.erase(from);
  files_[to] = std::move(moved);
}

PathKind MemoryFileSystem::Examine(const std::string& path) {
  calls_.push_back("Examine " + path);
  const auto it = files_.find(path);
  if (it == files_.end()) return PathKind::kMissing;
  if (it->second.kind == PathKind::kFile && it->second.contents.empty()) {
    return PathKind::kEmptyFile;
  }
  return it->second.kind;
}

bool MemoryFileSystem::DeleteFile(const std::string& path) {
  calls_.push_back("DeleteFile " + path);
  return files_.erase(path) != 0;
}

bool MemoryFileSystem::CreateNewFile(const std::string& path) {
  calls_.push_back("CreateNewFile " + path);
  if (files_.count(path) != 0) return false;
  NewEntry(path);
  return true;
}

void MemoryFileSystem::AppendLineToFile(const std::string& path, std::string_view line,
                                        const FileLock& locked) {
  calls_.push_back("AppendLineToFile " + path);
  auto it = files_.find(path);
  if (it == files_.end()) throw PosixError(path, "open the file for appending", ENOENT);
  if (it->second.kind != PathKind::kFile || it->second.inode != locked.id().inode) {
    throw ReplacedFileError(path,
                            "the file was replaced by another one during the conversion; "
                            "nothing was written to that one");
  }
  Store(it->second, path, std::string(line) + "\r\n");
}

void MemoryFileSystem::Store(Entry& entry, const std::string& path, std::string_view bytes) {
  if (entry.contents.size() + bytes.size() > fail_at_) {
    entry.contents.append(bytes.substr(0, fail_at_ - std::min(fail_at_, entry.contents.size())));
    throw PosixError(path, "write to the file", write_error_);
  }
  entry.contents.append(bytes);
}

void MemoryFileSystem::CheckAppendable(const std::string& path, const FileLock& locked) {
  calls_.push_back("CheckAppendable " + path);
  const auto it = files_.find(path);
  if (it == files_.end()) throw PosixError(path, "open the file for appending", ENOENT);
  if (it->second.kind != PathKind::kFile || it->second.inode != locked.id().inode) {
    throw ReplacedFileError(path, "the file was replaced by another one");
  }
}

bool MemoryFileSystem::IsFileAt(const std::string& path, FileId id) {
  calls_.push_back("IsFileAt " + path);
  const auto it = files_.find(path);
  return it != files_.end() && it->second.inode == id.inode;
}

bool MemoryFileSystem::RemoveFileIfSame(const std::string& path, FileId id) {
  calls_.push_back("RemoveFileIfSame " + path);
  const auto it = files_.find(path);
  if (it == files_.end() || it->second.inode != id.inode) return false;
  files_.erase(it);
  return true;
}

std::unique_ptr<NewFile> MemoryFileSystem::CreateTemporaryFile(const std::string& final_path) {
  calls_.push_back("CreateTemporaryFile " + final_path);
  const std::size_t slash = final_path.rfind('/');
  const std::string path = final_path.substr(0, slash + 1) + "." + final_path.substr(slash + 1) +
                           "." + std::to_string(++temporaries_) + ".tmp";
  return std::make_unique<File>(*this, path, NewEntry(path).inode);
}

void MemoryFileSystem::RemoveAbandonedTemporaryFiles(const std::string& final_path) {
  calls_.push_back("RemoveAbandonedTemporaryFiles " + final_path);
}

void MemoryFileSystem::ReplaceFile(const std::string& from, const std::string& to) {
  calls_.push_back("ReplaceFile " + to);
  if (rename_error_ != 0) throw PosixError(to, "put the document in place", rename_error_);
  Rename(from, to);
}

void MemoryFileSystem::CreateFolders(const std::string& path) {
  calls_.push_back("CreateFolders " + path);
}

std::uint64_t MemoryFileSystem::FreeSpaceBeside(const std::string& path) {
  calls_.push_back("FreeSpaceBeside " + path);
  return free_space_;
}

std::unique_ptr<FileLock> MemoryFileSystem::LockFile(const std::string& path) {
  calls_.push_back("LockFile " + path);
  auto it = files_.find(path);
  if (it == files_.end()) return std::make_unique<Lock>(*this, NewEntry(path).inode);
  if (it->second.kind == PathKind::kLink) {
    throw FileSystemError(path, "a symbolic link stands in the file's place; it is not followed");
  }
  if (it->second.kind != PathKind::kFile) {
    throw FileSystemError(path, "is not a regular file; nothing is written to it");
  }
  return std::make_unique<Lock>(*this, it->second.inode);
}

std::uint64_t MemoryFileSystem::SpaceFor(const std::string& path) {
  calls_.push_back("SpaceFor " + path);
  if (free_space_ == kUnknownSpace) return kUnknownSpace;
  const auto it = files_.find(path);
  return free_space_ + (it != files_.end() ? it->second.contents.size() : 0);
}

std::string MemoryFileSystem::ProgramFolder() {
  calls_.push_back("ProgramFolder");
  return program_folder_;
}

std::string MemoryFileSystem::CurrentFolder() {
  calls_.push_back("CurrentFolder");
  return "/work";
}

bool MemoryFileSystem::IsWritableFolder(const std::string&) {
  calls_.push_back("IsWritableFolder");
  return folder_writable_;
}

}  // namespace zerova::test
