// The temporary files of documents written whole, on Windows: their names, and
// the removal of those that runs ended outright left behind.
#ifndef ZEROVA_PLATFORM_WINDOWS_TEMPORARY_FILES_H_
#define ZEROVA_PLATFORM_WINDOWS_TEMPORARY_FILES_H_

#include <string>

namespace zerova {

// "FOLDER\.NAME.XXXXXXXXXXXX.tmp" for the file `final_path`, twelve random
// letters and digits from the system's generator; NAME shortened so the whole
// stays within a file name's limit. Throws FileSystemError naming the folder
// when no random bytes come.
std::string TemporaryPath(const std::string& final_path);

// FileSystem::RemoveAbandonedTemporaryFiles: each file of the folder of
// `final_path` named as TemporaryPath names one for it is opened shared with
// nobody (never through a link), which fails while any other handle, its
// writer's first, has it open; it is removed through that handle when it is a
// file of one name unchanged for an hour. Whose it is is not asked: Windows
// lets a user open for deleting only what the folder's rights allow. Never
// throws.
void RemoveAbandonedTemporaryFiles(const std::string& final_path);

}  // namespace zerova

#endif  // ZEROVA_PLATFORM_WINDOWS_TEMPORARY_FILES_H_
