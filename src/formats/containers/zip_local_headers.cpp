#include "formats/containers/zip_local_headers.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

#include "formats/containers/little_endian.h"
#include "formats/containers/zip_archive.h"
#include "services/error.h"

namespace zerova {
namespace {

// Signatures and sizes of APPNOTE 4.3.7, 4.3.9, 4.3.12 and 4.3.16.
constexpr std::uint32_t kLocalHeader = 0x04034B50;
constexpr std::uint32_t kDataDescriptor = 0x08074B50;
constexpr std::uint32_t kCentralHeader = 0x02014B50;
constexpr std::uint32_t kEndRecord = 0x06054B50;
constexpr std::size_t kLocalHeaderSize = 30;
constexpr std::size_t kEndRecordSize = 22;
constexpr std::size_t kMaxCommentSize = 0xFFFF;

constexpr std::uint16_t kFlagDataDescriptor = 0x0008;
constexpr std::uint16_t kDeflated = 8;
constexpr std::uint32_t kZip64Size = 0xFFFFFFFF;  // the size stands in a zip64 extra field

constexpr char kUnreadablePart[] = "a part of it cannot be read";

// One member as its local header (and data descriptor) describe it.
struct Member {
  std::size_t offset;  // of its local header
  std::size_t end;     // just past its data and data descriptor
  std::uint16_t flags, method, time, date;
  std::uint32_t crc, compressed, size;
  std::string name;
};

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

std::uint64_t GetU64(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return GetU32(bytes, offset) | (std::uint64_t{GetU32(bytes, offset + 4)} << 32);
}

struct Inflation {
  z_stream stream{};
  Inflation() { inflateInit2(&stream, -MAX_WBITS); }  // raw deflate, no zlib header
  ~Inflation() { inflateEnd(&stream); }
  Inflation(const Inflation&) = delete;
  Inflation& operator=(const Inflation&) = delete;
};

class LocalHeaderWalk {
 public:
  LocalHeaderWalk(std::span<const std::uint8_t> zip, const std::string& file, std::uint64_t budget)
      : zip_(zip), file_(file), budget_(budget) {}

  std::vector<Member> Members() {
    std::vector<Member> members;
    for (std::size_t at = 0; zip_.size() - at >= 4 && GetU32(zip_, at) == kLocalHeader;) {
      members.push_back(Read(at));
      at = members.back().end;
    }
    if (members.empty()) {
      throw Damaged(file_, "its table of contents cannot be read",
                    "a zip with neither a central directory nor a local header at its start");
    }
    return members;
  }

 private:
  Member Read(std::size_t at) {
    if (zip_.size() - at < kLocalHeaderSize) CutShort("a local header");
    Member m{at,
             0,
             GetU16(zip_, at + 6),
             GetU16(zip_, at + 8),
             GetU16(zip_, at + 10),
             GetU16(zip_, at + 12),
             GetU32(zip_, at + 14),
             GetU32(zip_, at + 18),
             GetU32(zip_, at + 22),
             {}};
    const std::size_t name_size = GetU16(zip_, at + 26);
    const std::size_t data = at + kLocalHeaderSize + name_size + GetU16(zip_, at + 28);
    if (data > zip_.size()) CutShort("a local header");
    m.name.assign(reinterpret_cast<const char*>(zip_.data()) + at + kLocalHeaderSize, name_size);
    if ((m.flags & kFlagDataDescriptor) != 0) {
      Measure(m, data);
    } else if (m.compressed == kZip64Size || m.size == kZip64Size) {
      Unmeasured(m, "its sizes stand in a zip64 field");
    } else {
      if (zip_.size() - data < m.compressed) CutShort(m.name);
      m.end = data + m.compressed;
    }
    return m;
  }

  // Inflates the member's data to learn its sizes and CRC, then passes its data
  // descriptor: an optional signature, the CRC, and both sizes in 4 or 8 bytes.
  void Measure(Member& m, std::size_t data) {
    if (m.method != kDeflated) Unmeasured(m, "it is not deflated and leaves its size for later");
    Inflation inflation;
    z_stream& z = inflation.stream;
    z.next_in = const_cast<Bytef*>(zip_.data() + data);
    z.avail_in = static_cast<uInt>(std::min<std::size_t>(zip_.size() - data, UINT_MAX));
    std::uint8_t sink[64 * 1024];
    uLong crc = crc32(0, nullptr, 0);
    int status = Z_OK;
    while (status == Z_OK) {
      z.next_out = sink;
      z.avail_out = sizeof sink;
      status = inflate(&z, Z_NO_FLUSH);
      crc = crc32(crc, sink, static_cast<uInt>(sizeof sink - z.avail_out));
      spent_ += sizeof sink - z.avail_out;
      if (spent_ > budget_) throw ZipBomb(file_);
    }
    if (status == Z_BUF_ERROR) CutShort(m.name);
    if (status != Z_STREAM_END) Unmeasured(m, "its deflated data is corrupt");
    if (z.total_in > UINT32_MAX || z.total_out > UINT32_MAX) Unmeasured(m, "it is over 4 GiB");
    m.crc = static_cast<std::uint32_t>(crc);
    m.compressed = static_cast<std::uint32_t>(z.total_in);
    m.size = static_cast<std::uint32_t>(z.total_out);
    std::size_t at = data + z.total_in;
    if (zip_.size() - at >= 4 && GetU32(zip_, at) == kDataDescriptor) at += 4;
    // The sizes' width is not said: the low half of an 8-byte size reads as the
    // 4-byte one, so the 8-byte form is taken when only it ends where a record
    // (or the zip) does.
    const bool narrow = zip_.size() - at >= 12 && GetU32(zip_, at + 4) == m.compressed;
    const bool wide = zip_.size() - at >= 20 && GetU64(zip_, at + 4) == m.compressed;
    if (wide && (!narrow || (!RecordAt(at + 12) && RecordAt(at + 20)))) {
      m.end = at + 20;
    } else if (narrow) {
      m.end = at + 12;
    } else {
      Unmeasured(m, "its data descriptor does not match its data");
    }
  }

  // True when `at` is the zip's end or the start of a local or central header.
  bool RecordAt(std::size_t at) const {
    if (at == zip_.size()) return true;
    if (zip_.size() - at < 4) return false;
    const std::uint32_t signature = GetU32(zip_, at);
    return signature == kLocalHeader || signature == kCentralHeader;
  }

  [[noreturn]] void CutShort(const std::string& what) const {
    throw Damaged(file_, "it is cut short", what + " runs past the end of the zip");
  }

  [[noreturn]] void Unmeasured(const Member& m, const char* why) const {
    throw Damaged(file_, kUnreadablePart, "zip member " + m.name + ": " + why);
  }

  std::span<const std::uint8_t> zip_;
  const std::string& file_;
  std::uint64_t budget_;
  std::uint64_t spent_ = 0;
};

}  // namespace

bool HasEndOfCentralDirectory(std::span<const std::uint8_t> zip) noexcept {
  if (zip.size() < kEndRecordSize) return false;
  const std::size_t lowest = zip.size() > kEndRecordSize + kMaxCommentSize
                                 ? zip.size() - kEndRecordSize - kMaxCommentSize
                                 : 0;
  for (std::size_t at = zip.size() - kEndRecordSize + 1; at-- > lowest;) {
    if (GetU32(zip, at) == kEndRecord && at + kEndRecordSize + GetU16(zip, at + 20) == zip.size()) {
      return true;
    }
  }
  return false;
}

std::vector<std::uint8_t> ZipFromLocalHeaders(std::span<const std::uint8_t> zip,
                                              const std::string& file, std::uint64_t budget) {
  const std::vector<Member> members = LocalHeaderWalk(zip, file, budget).Members();
  const std::size_t end = members.back().end;
  if (members.size() > 0xFFFF || end > UINT32_MAX) {
    throw Damaged(file, kUnreadablePart,
                  "a zip of over 65,535 members or 4 GiB without its "
                  "central directory");
  }
  std::vector<std::uint8_t> out(zip.begin(), zip.begin() + static_cast<std::ptrdiff_t>(end));
  for (const Member& m : members) {
    Put32(out, kCentralHeader);
    Put16(out, 20);  // made by: version 2.0, MS-DOS attributes
    Put16(out, 20);  // needed: 2.0, deflate
    Put16(out, m.flags);
    Put16(out, m.method);
    Put16(out, m.time);
    Put16(out, m.date);
    Put32(out, m.crc);
    Put32(out, m.compressed);
    Put32(out, m.size);
    Put16(out, static_cast<std::uint32_t>(m.name.size()));
    Put16(out, 0);  // extra field, comment, disk, internal attributes
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, 0);
    Put32(out, 0);  // external attributes
    Put32(out, static_cast<std::uint32_t>(m.offset));
    out.insert(out.end(), m.name.begin(), m.name.end());
  }
  const std::size_t directory_size = out.size() - end;
  Put32(out, kEndRecord);
  Put16(out, 0);  // this disk, the directory's disk
  Put16(out, 0);
  Put16(out, static_cast<std::uint32_t>(members.size()));
  Put16(out, static_cast<std::uint32_t>(members.size()));
  Put32(out, static_cast<std::uint32_t>(directory_size));
  Put32(out, static_cast<std::uint32_t>(end));
  Put16(out, 0);  // comment
  return out;
}

}  // namespace zerova
