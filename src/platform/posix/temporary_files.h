// The temporary files of documents written whole, on POSIX systems: their
// names, and the removal of those that runs ended outright left behind.
#ifndef ZEROVA_PLATFORM_POSIX_TEMPORARY_FILES_H_
#define ZEROVA_PLATFORM_POSIX_TEMPORARY_FILES_H_

#include <string>
#include <string_view>
#include <vector>

namespace zerova {

// ".NAME.XXXXXXXXXXXX.tmp" for the file `name`, twelve random letters and
// digits from the kernel's generator; NAME shortened so the whole stays within
// a file name's limit. Throws FileSystemError when no random bytes come.
std::string TemporaryName(std::string_view name);

// The names in `folder` that TemporaryName may have given, for any file (one
// listing of the folder); none when it cannot be listed.
std::vector<std::string> TemporaryNamesIn(const std::string& folder);

// FileSystem::RemoveAbandonedTemporaryFiles, among `names` (TemporaryNamesIn
// the folder of `final_path`): each that TemporaryName gives for `final_path`
// is opened (never through a link) and removed when it is a regular file of
// one name, this user's, unchanged for kAbandonedAfter seconds, and its lock
// can be taken (its writer holds it while it lives). Never throws.
void RemoveAbandonedTemporaryFiles(const std::string& final_path,
                                   const std::vector<std::string>& names);

// How long a temporary file must have been left unchanged before it may count
// as abandoned: far longer than its writer ever leaves it unlocked (between its
// creation and its lock, between its close and its rename).
inline constexpr long kAbandonedAfter = 60 * 60;

}  // namespace zerova

#endif  // ZEROVA_PLATFORM_POSIX_TEMPORARY_FILES_H_
