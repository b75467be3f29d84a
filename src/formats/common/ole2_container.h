// The OLE2 compound file around an .xls workbook ([MS-CFB]), opened with libgsf.
//
// An .xls file is a small file system; the workbook itself is the stream named
// "Workbook" (BIFF8) or "Book" (BIFF5) in its root storage. Which BIFF version
// the stream holds is decided by its first BOF record, never by the stream's name.
#ifndef ZEROVA_FORMATS_COMMON_OLE2_CONTAINER_H_
#define ZEROVA_FORMATS_COMMON_OLE2_CONTAINER_H_

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace zerova {

// True iff `bytes` start with the OLE2 compound-file signature.
bool LooksLikeOle2(std::span<const std::uint8_t> bytes);

// Returns the bytes of the root stream named "Workbook", or else of the one named
// "Book", names compared ignoring case. `bytes` need only live during the call.
// Throws ReadError naming `file` when the compound file is damaged, holds neither
// stream, or the stream cannot be read whole; GLib's own message, if any, is folded
// into the error's text.
std::vector<std::uint8_t> ReadWorkbookStream(std::span<const std::uint8_t> bytes,
                                             const std::string& file);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_COMMON_OLE2_CONTAINER_H_
