// Paths as text: how this platform joins, splits and judges them.
//
// Paths are UTF-8 inside the program on every platform. On POSIX systems the
// separator is '/'; on Windows both '\' and '/' separate, a full path starts
// with a drive ("C:\") or two separators (a share, "\\server\share\"), and a
// file's name may not hold some characters nor be a device's name (CON, NUL,
// ...). Each platform implements these in its folder under src/platform/.
#ifndef ZEROVA_SERVICES_PATHS_H_
#define ZEROVA_SERVICES_PATHS_H_

#include <string>
#include <string_view>

namespace zerova {

// True iff `c` separates a path's parts here.
bool IsPathSeparator(char c);

// True iff `path` does not depend on the current folder.
bool IsFullPath(std::string_view path);

// `name` in `folder`, joined with one separator (none added when `folder`
// already ends in one; on Windows '\', or '/' where the folder uses it alone).
std::string PathInFolder(std::string_view folder, std::string_view name);

// The folder of `path`: the text before its last separator (the root folder
// itself for a file in it, "." for a name without one).
std::string FolderOf(std::string_view path);

// The last part of `path`, after its last separator.
std::string FileNameOf(std::string_view path);

// True iff `folder`, a full path, is one that installed programs run from and
// whose files belong to the system's packages or installers (/usr, /opt, ...
// on POSIX systems; the Program Files and Windows folders on Windows), or lies
// under one.
bool IsSystemFolder(std::string_view folder);

// How the help names those folders: "under /usr, /bin, /sbin or /opt".
const char* SystemFoldersNamed();

// True iff `name` may stand as a file's name here, as it is: not empty, not "."
// or "..", none of the characters the file system refuses (on POSIX systems '/'
// and NUL; on Windows also control characters and <>:"/\|?*), no trailing dot or
// space and no device's name, with or without an extension, on Windows.
bool IsValidFileName(std::string_view name);

// True iff `a` and `b` name the same file in one folder here: equal, or on
// Windows equal but for case.
bool SameFileName(std::string_view a, std::string_view b);

}  // namespace zerova

#endif  // ZEROVA_SERVICES_PATHS_H_
