// AppendLine: adds one line to the end of an existing file, renewing the
// scratch file first.
#ifndef ZEROVA_CONVERSION_APPEND_LINE_H_
#define ZEROVA_CONVERSION_APPEND_LINE_H_

#include <string>

#include "services/file_system.h"

namespace zerova {

// The scratch file's name, in the program's folder.
inline constexpr const char* kScratchFileName = "xmlstr.xml";

// The scratch file's path: `folder` joined to kScratchFileName with one separator.
std::string ScratchFilePath(const std::string& folder);

// Renews the scratch file in the program's folder (deletes it if present, creates
// it empty), then opens `target_path` for appending, writes `line_text` and CR LF,
// and closes it. The scratch file is skipped, and nothing else changes, when the
// program's folder is not writable by the user; a scratch file that another
// process removes in the meantime is no failure.
//
// REQUIRES: `target_path` already exists; AppendLine never creates it.
// Throws FileSystemError: the scratch file is read-only or cannot be created (the
// target is then untouched), or the target is missing or cannot be written.
// Nothing is rolled back.
void AppendLine(FileSystem& file_system, std::string target_path, std::string line_text);

}  // namespace zerova

#endif  // ZEROVA_CONVERSION_APPEND_LINE_H_
