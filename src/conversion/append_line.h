// AppendLine: adds one line to the end of an existing file, renewing the
// scratch file first; and what a run checks of the scratch file before its
// first line.
#ifndef ZEROVA_CONVERSION_APPEND_LINE_H_
#define ZEROVA_CONVERSION_APPEND_LINE_H_

#include <string>
#include <string_view>

#include "services/file_system.h"

namespace zerova {

// The scratch file's name, in the program's folder.
inline constexpr const char* kScratchFileName = "xmlstr.xml";

// The scratch file's path: `folder` joined to kScratchFileName with one separator.
std::string ScratchFilePath(const std::string& folder);

// The scratch file a run renews: its full path in the program's folder, or the
// empty text when that folder is not writable by the user, which skips the
// renewal. A run asks once, before its first line.
std::string ScratchFileForRun(FileSystem& file_system);

// Throws the FileSystemError that renewing the scratch file at `scratch` would
// meet: a folder, or a read-only file, stands at its path. Takes one look and
// changes nothing; an empty `scratch` (no renewal) passes.
void CheckScratchFile(FileSystem& file_system, const std::string& scratch);

// Renews the scratch file `scratch` (deletes it if present, creates it empty),
// then opens `target_path` for appending, writes `line_text` and CR LF, and
// closes it: per line one look at the scratch file, a delete, a create, and
// the append. An empty `scratch` skips the renewal. A scratch file that another
// process removes in the meantime is no failure. Neither argument is changed.
//
// REQUIRES: `target_path` already exists; AppendLine never creates it.
// Throws FileSystemError: the scratch file is read-only, a folder, or cannot be
// created (the target is then untouched), or the target is missing or cannot be
// written. Nothing is rolled back.
void AppendLine(FileSystem& file_system, const std::string& scratch, const std::string& target_path,
                std::string_view line_text);

}  // namespace zerova

#endif  // ZEROVA_CONVERSION_APPEND_LINE_H_
