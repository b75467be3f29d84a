#include "formats/xls/record_decryption.h"

#include "formats/containers/little_endian.h"
#include "formats/xls/filepass.h"
#include "formats/xls/records.h"

namespace zerova {
namespace {

constexpr std::size_t kHeaderSize = 4;
constexpr std::uint16_t kVersionBiff8 = 0x0600;

// Records that are never encrypted ([MS-XLS] 2.2.10).
constexpr std::uint16_t kInterfaceHdr = 0x00E1;
constexpr std::uint16_t kUsrExcl = 0x0194;
constexpr std::uint16_t kFileLock = 0x0195;
constexpr std::uint16_t kRrdInfo = 0x0196;
constexpr std::uint16_t kRrdHead = 0x0138;

bool StaysClear(std::uint16_t id) {
  switch (id) {
    case biff::kBof:
    case biff::kFilepass:
    case kInterfaceHdr:
    case kUsrExcl:
    case kFileLock:
    case kRrdInfo:
    case kRrdHead:
      return true;
    default:
      return false;
  }
}

// The record header at `at`: false when it or its body runs past the stream.
bool Header(std::span<const std::uint8_t> stream, std::size_t at, std::uint16_t* id,
            std::size_t* size) {
  if (stream.size() - at < kHeaderSize) return false;
  *id = GetU16(stream, at);
  *size = GetU16(stream, at + 2);
  return stream.size() - at - kHeaderSize >= *size;
}

// The offset of the FILEPASS record's header in `stream`, and its body's size;
// false when the globals hold none, or the stream does not begin with a BOF
// record, or its records run past its end before FILEPASS.
bool FindFilepass(std::span<const std::uint8_t> stream, std::size_t* at, std::size_t* size) {
  std::uint16_t id = 0;
  if (!Header(stream, 0, &id, size) || id != biff::kBof || *size < 2) return false;
  // FILEPASS stands among the globals, before their EOF and before any sheet.
  *at = kHeaderSize + *size;
  while (true) {
    if (*at >= stream.size() || !Header(stream, *at, &id, size)) return false;
    if (id == biff::kEof || id == biff::kBof) return false;
    if (id == biff::kFilepass) return true;
    *at += kHeaderSize + *size;
  }
}

}  // namespace

bool HoldsFilepass(std::span<const std::uint8_t> stream) {
  std::size_t at = 0;
  std::size_t size = 0;
  return FindFilepass(stream, &at, &size);
}

bool DecryptWorkbookStream(std::span<std::uint8_t> stream, const std::string& file,
                           PasswordSource* passwords, ReadProgress* progress) {
  std::size_t at = 0;
  std::size_t size = 0;
  if (!FindFilepass(stream, &at, &size)) return false;
  const bool biff8 = GetU16(stream, kHeaderSize) == kVersionBiff8;
  std::uint16_t id = 0;
  const std::unique_ptr<RecordDecryptor> decryptor =
      UnlockFilepass(stream.subspan(at + kHeaderSize, size), biff8, file, passwords, progress);
  StopCheck check(progress, InputMeter::kStep);

  // A body cut short by the stream's end is left for the record reader to refuse.
  for (at += kHeaderSize + size; at < stream.size() && Header(stream, at, &id, &size);
       at += kHeaderSize + size) {
    check.Tick(kHeaderSize + size);
    if (StaysClear(id)) continue;
    const std::size_t clear = id == biff::kBoundsheet ? 4 : 0;
    decryptor->DecryptBody(stream, at + kHeaderSize, size, clear);
  }
  return true;
}

}  // namespace zerova
