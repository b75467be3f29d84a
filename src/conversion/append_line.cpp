#include "conversion/append_line.h"

#include "services/error.h"

namespace zerova {
namespace {

// Throws when `kind`, found at the scratch file's path, keeps it from being renewed.
void RefuseObstacle(PathKind kind, const std::string& scratch) {
  if (kind == PathKind::kReadOnlyFile) {
    throw FileSystemError(scratch, "the file is read-only and cannot be replaced");
  }
  if (kind == PathKind::kFolder) {
    throw FileSystemError(scratch, "a folder stands where the scratch file belongs");
  }
}

}  // namespace

std::string ScratchFilePath(const std::string& folder) {
  return PathInFolder(folder, kScratchFileName);
}

std::string ScratchFileForRun(FileSystem& file_system) {
  const std::string folder = file_system.ProgramFolder();
  return file_system.IsWritableFolder(folder) ? ScratchFilePath(folder) : std::string();
}

void CheckScratchFile(FileSystem& file_system, const std::string& scratch) {
  if (!scratch.empty()) RefuseObstacle(file_system.Examine(scratch), scratch);
}

void AppendLine(FileSystem& file_system, const std::string& scratch, const std::string& target_path,
                std::string_view line_text) {
  if (!scratch.empty()) {
    const PathKind kind = file_system.Examine(scratch);
    RefuseObstacle(kind, scratch);
    if (kind == PathKind::kFile) file_system.DeleteFile(scratch);
    file_system.CreateTextFile(scratch);
  }
  file_system.AppendLineToFile(target_path, line_text);
}

}  // namespace zerova
