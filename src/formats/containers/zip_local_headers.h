// A zip whose central directory is missing, read from its local headers.
//
// A zip lists its members twice: each member's local header stands before its
// data, and the central directory at the end lists them all again (PKWARE's
// APPNOTE.TXT 4.3). libgsf reads a zip through its central directory alone. A
// writer that stopped before writing it leaves members that are whole but a zip
// that libgsf cannot open; other readers walk the local headers instead. So does
// this: it walks them from the start and writes the central directory they
// describe after them, and the zip is then read as any other.
//
// A member whose local header leaves its sizes to a data descriptor after its
// data (general purpose bit 3) is measured by inflating it with zlib.
#ifndef ZEROVA_FORMATS_CONTAINERS_ZIP_LOCAL_HEADERS_H_
#define ZEROVA_FORMATS_CONTAINERS_ZIP_LOCAL_HEADERS_H_

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace zerova {

// True iff `zip` ends in an end of central directory record (APPNOTE 4.3.16):
// its signature within the last 65,557 bytes, the record and its comment
// reaching the end.
bool HasEndOfCentralDirectory(std::span<const std::uint8_t> zip) noexcept;

// `zip`'s members up to the first bytes that are not a local header, followed by
// the central directory and end record that list them. Throws Damaged naming
// `file` when a member runs past the end of the zip or cannot be measured (its
// deflated data is corrupt, or it is stored with a data descriptor), when there
// is no member, or when the members inflate to more than `budget` bytes in all.
std::vector<std::uint8_t> ZipFromLocalHeaders(std::span<const std::uint8_t> zip,
                                              const std::string& file, std::uint64_t budget);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_CONTAINERS_ZIP_LOCAL_HEADERS_H_
