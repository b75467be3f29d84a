#include "formats/csv/text_encoding.h"

#include <algorithm>
#include <cassert>

#include "formats/text/codepage_decoder.h"
#include "formats/text/unicode.h"

namespace zerova {
namespace {

std::string DecodeUtf16(std::span<const std::uint8_t> bytes, bool big_endian, StopCheck& check) {
  std::string out;
  out.reserve(bytes.size());
  Utf16Decoder decoder(out);
  const std::size_t end = bytes.size() & ~std::size_t{1};
  for (std::size_t at = 0; at < end; at += 2) {
    check.Tick(2);
    decoder.Unit(big_endian ? static_cast<char16_t>((bytes[at] << 8) | bytes[at + 1])
                            : static_cast<char16_t>(bytes[at] | (bytes[at + 1] << 8)));
  }
  decoder.Finish();
  if (end != bytes.size()) AppendUtf8(0xFFFD, out);  // half a unit at the end
  return out;
}

}  // namespace

DetectedEncoding DetectTextEncoding(std::span<const std::uint8_t> bytes, bool cut,
                                    ReadProgress* stop) {
  const auto starts = [&](std::initializer_list<std::uint8_t> mark) {
    return bytes.size() >= mark.size() && std::equal(mark.begin(), mark.end(), bytes.begin());
  };
  if (starts({0xEF, 0xBB, 0xBF})) return {TextEncoding::kUtf8, 3};
  if (starts({0xFF, 0xFE})) return {TextEncoding::kUtf16Le, 2};
  if (starts({0xFE, 0xFF})) return {TextEncoding::kUtf16Be, 2};
  return {IsUtf8(bytes, cut, stop) ? TextEncoding::kUtf8 : TextEncoding::kWindows1252, 0};
}

std::string DecodeText(std::span<const std::uint8_t> bytes, TextEncoding encoding,
                       ReadProgress* stop) {
  assert(encoding != TextEncoding::kUtf8);
  StopCheck check(stop, InputMeter::kStep);
  if (encoding != TextEncoding::kWindows1252) {
    return DecodeUtf16(bytes, encoding == TextEncoding::kUtf16Be, check);
  }
  // One byte, one character: decoded piece by piece, so no buffer for the whole
  // file's worst case is ever held.
  constexpr std::size_t kPiece = 64 * 1024;
  CodepageDecoder decoder(1252);
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (std::size_t at = 0; at < bytes.size(); at += kPiece) {
    check.Tick(kPiece);
    out += decoder.Decode(bytes.subspan(at, std::min(kPiece, bytes.size() - at)));
  }
  return out;
}

}  // namespace zerova
