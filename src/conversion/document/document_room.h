// CheckRoom: whether a document of a known size can be written where it goes,
// asked before an earlier document is touched.
#ifndef ZEROVA_CONVERSION_DOCUMENT_DOCUMENT_ROOM_H_
#define ZEROVA_CONVERSION_DOCUMENT_DOCUMENT_ROOM_H_

#include <cstdint>
#include <string>

namespace zerova {

// Throws FileSystemError naming `document` when `bytes` (0: not counted) is more
// than `space` (FileSystem::kUnknownSpace: not known) or than `limit`, the most
// the process may write into one file (FileSystem::kNoLimit: none):
// "not enough free space for the document: it needs 309 GB, and 100 GB are free",
// "the document would be 2.5 MB, more than the file-size limit of 100 KB this
// program runs under (ulimit -f)". `left` ends the message, saying that nothing
// was touched ("the earlier document was left as it was").
void CheckRoom(const std::string& document, std::uint64_t bytes, std::uint64_t space,
               std::uint64_t limit, const std::string& left);

// True iff `bytes` is no more than `space` and `limit` (either unknown or none: no bound).
bool Fits(std::uint64_t bytes, std::uint64_t space, std::uint64_t limit);

// "1.5 GB", "300 MB", "12 KB", "512 bytes": a size as a person reads it.
std::string SizeText(std::uint64_t bytes);

}  // namespace zerova

#endif  // ZEROVA_CONVERSION_DOCUMENT_DOCUMENT_ROOM_H_
