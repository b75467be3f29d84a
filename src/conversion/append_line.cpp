#include "conversion/append_line.h"

#include "services/error.h"

namespace zerova {
namespace {

// How often the scratch file's name is cleared and created before the run gives up.
constexpr int kScratchRounds = 4;

// Throws when `kind`, found at the scratch file's path, keeps it from being renewed.
void RefuseObstacle(PathKind kind, const std::string& scratch) {
  if (kind == PathKind::kReadOnlyFile) {
    throw FileSystemError(scratch, "the file is read-only and cannot be replaced");
  }
  if (kind == PathKind::kFolder) {
    throw FileSystemError(scratch, "a folder stands where the scratch file belongs");
  }
  if (kind == PathKind::kOther) {
    throw FileSystemError(scratch,
                          "something other than a file stands where the scratch file "
                          "belongs");
  }
}

// The folders an installed program runs from, whose files belong to packages.
constexpr std::string_view kSystemFolders[] = {"/usr", "/bin", "/sbin", "/opt"};

// True iff `folder`, a full path, is one of kSystemFolders or lies under one.
bool IsSystemFolder(std::string_view folder) {
  for (const std::string_view system : kSystemFolders) {
    if (folder.starts_with(system) &&
        (folder.size() == system.size() || folder[system.size()] == '/')) {
      return true;
    }
  }
  return false;
}

}  // namespace

std::string ScratchFilePath(const std::string& folder) {
  return PathInFolder(folder, kScratchFileName);
}

std::string ScratchFileForRun(FileSystem& file_system) {
  const std::string folder = file_system.ProgramFolder();
  if (IsSystemFolder(folder)) return std::string();
  return file_system.IsWritableFolder(folder) ? ScratchFilePath(folder) : std::string();
}

void CheckScratchFile(FileSystem& file_system, const std::string& scratch) {
  if (!scratch.empty()) RefuseObstacle(file_system.Examine(scratch), scratch);
}

void RenewScratchFile(FileSystem& file_system, const std::string& scratch) {
  for (int round = 0; round < kScratchRounds; ++round) {
    const PathKind kind = file_system.Examine(scratch);
    RefuseObstacle(kind, scratch);
    if (kind != PathKind::kMissing) file_system.DeleteFile(scratch);
    if (file_system.CreateNewFile(scratch)) return;
    // Another conversion started from this folder renewed it in between: an
    // empty file stands there, as this renewal would leave it.
    if (file_system.Examine(scratch) == PathKind::kEmptyFile) return;
  }
  throw FileSystemError(scratch,
                        "another program keeps taking the scratch file's name; what it put "
                        "there was left unopened");
}

void AppendLine(FileSystem& file_system, const std::string& scratch, const std::string& target_path,
                std::string_view line_text, const FileLock& locked) {
  if (!scratch.empty()) RenewScratchFile(file_system, scratch);
  file_system.AppendLineToFile(target_path, line_text, locked);
}

}  // namespace zerova
