// AppendLine: adds one line to the end of an existing file, renewing the
// scratch file first; and what a run checks of the scratch file before its
// first line.
#ifndef ZEROVA_CONVERSION_DOCUMENT_APPEND_LINE_H_
#define ZEROVA_CONVERSION_DOCUMENT_APPEND_LINE_H_

#include <string>
#include <string_view>

#include "services/file_system.h"

namespace zerova {

// The scratch file's name, in the program's folder.
inline constexpr const char* kScratchFileName = "xmlstr.xml";

// The scratch file's path: `folder` joined to kScratchFileName with one separator.
std::string ScratchFilePath(const std::string& folder);

// The scratch file a run renews: its full path in the program's folder, or the
// empty text, which skips the renewal, when that folder is a system folder
// (IsSystemFolder: an installed program, run by an administrator or anyone
// else, leaves no file that no package owns) or is not writable by the user. A
// run asks once, before its first line.
std::string ScratchFileForRun(FileSystem& file_system);

// Throws the FileSystemError that renewing the scratch file at `scratch` would
// meet: a folder, a read-only file, or something other than a file (a FIFO, a
// device) stands at its path. Takes one look and changes nothing; an empty
// `scratch` (no renewal) passes.
void CheckScratchFile(FileSystem& file_system, const std::string& scratch);

// Renews the scratch file `scratch`: removes the name if it is taken (a file or
// a symbolic link, never followed) and creates a new empty file there, never
// opening what stands there. When the name is taken again in between by an
// empty file (another conversion started from the same folder renewing it),
// that file is left as the renewal would leave it, unopened, as is a name freed
// again by then; taken by anything else (a symbolic link, a file with bytes), it
// is deleted and the create tried again, up to four times, then it throws. Per
// line one look, a delete and a create.
// Throws FileSystemError as CheckScratchFile does, when the file cannot be
// created, or when its name keeps being taken.
void RenewScratchFile(FileSystem& file_system, const std::string& scratch);

// Renews the scratch file `scratch` (an empty `scratch` skips it), then opens
// `document_path` for appending, checks that it is the file `locked` holds,
// writes `line_text` and CR LF, and closes it. A scratch file that another
// process removes in the meantime is no failure. Neither argument is changed.
//
// REQUIRES: `document_path` already exists; AppendLine never creates it.
// Throws FileSystemError as RenewScratchFile does (the document is then
// untouched), when the document is missing or cannot be written, and
// ReplacedFileError when another file stands at `document_path` now. Nothing is
// rolled back.
void AppendLine(FileSystem& file_system, const std::string& scratch,
                const std::string& document_path, std::string_view line_text,
                const FileLock& locked);

}  // namespace zerova

#endif  // ZEROVA_CONVERSION_DOCUMENT_APPEND_LINE_H_
