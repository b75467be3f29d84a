#include "conversion/document/append_line.h"

#include "services/error.h"
#include "services/paths.h"

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
    // empty file stands there, as this renewal would leave it, or that one's
    // next renewal has already removed it. Anything else is deleted next round.
    const PathKind taken_by = file_system.Examine(scratch);
    if (taken_by == PathKind::kEmptyFile || taken_by == PathKind::kMissing) return;
  }
  throw FileSystemError(scratch,
                        "another program keeps taking the scratch file's name; what it put "
                        "there was left unopened");
}

void AppendLine(FileSystem& file_system, const std::string& scratch,
                const std::string& document_path, std::string_view line_text,
                const FileLock& locked) {
  if (!scratch.empty()) RenewScratchFile(file_system, scratch);
  file_system.AppendLineToFile(document_path, line_text, locked);
}

}  // namespace zerova
