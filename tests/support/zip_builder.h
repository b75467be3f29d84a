// Zip: builds a small zip in memory for tests of the .xlsx, .xlsb and .ods readers.
#ifndef ZEROVA_TESTS_SUPPORT_ZIP_BUILDER_H_
#define ZEROVA_TESTS_SUPPORT_ZIP_BUILDER_H_

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace zerova::test {

// Members of a zip, in order: {path ("xl/workbook.xml"), contents}.
using ZipMembers = std::vector<std::pair<std::string, std::string>>;

// The bytes of a zip holding `members`, each deflated.
std::vector<std::uint8_t> Zip(const ZipMembers& members);

// An Open Packaging Conventions relationships part: each relationship as its
// id, full type and target.
std::string Relationships(const std::vector<std::array<std::string, 3>>& rels);

// A member written byte for byte: its data as stored and what its headers
// declare, which need not be true.
struct RawZipMember {
  std::string path;
  std::string data;  // deflated (raw deflate, zlib's)
  std::uint64_t declared_size = 0;
  std::uint32_t crc = 0;
};

// `contents` deflated at `path`, declaring its true size and checksum.
RawZipMember Deflated(std::string path, const std::string& contents);

// A zip of `members`, with zip64 size fields; when `size` is larger than the
// zip, an archive comment pads it to exactly `size` bytes.
std::vector<std::uint8_t> RawZip(const std::vector<RawZipMember>& members, std::size_t size = 0);

}  // namespace zerova::test

#endif  // ZEROVA_TESTS_SUPPORT_ZIP_BUILDER_H_
