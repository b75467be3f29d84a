#include "conversion/append_line.h"

namespace zerova {

std::string ScratchFilePath(const std::string& folder) {
  std::string path = folder;
  if (path.empty() || path.back() != '/') path.push_back('/');
  path.append(kScratchFileName);
  return path;
}

void AppendLine(FileSystem& file_system, std::string target_path, std::string line_text) {
  const std::string folder = file_system.ProgramFolder();
  if (file_system.IsWritableFolder(folder)) {
    const std::string scratch = ScratchFilePath(folder);
    if (file_system.FileExists(scratch)) file_system.DeleteFile(scratch);
    file_system.CreateTextFile(scratch);
  }
  file_system.AppendLineToFile(target_path, line_text);
}

}  // namespace zerova
