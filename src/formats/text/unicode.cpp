#include "formats/text/unicode.h"

namespace zerova {
namespace {

// The length of the UTF-8 sequence at `at`: 1-4, 0 when it is invalid, or -1 when
// it is cut short by the end of `bytes`.
int Utf8Length(std::span<const std::uint8_t> bytes, std::size_t at) {
  const std::uint8_t lead = bytes[at];
  if (lead < 0x80) return 1;
  int length = 0;
  std::uint8_t low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  for (int i = 1; i < length; ++i) {
    if (at + i >= bytes.size()) return -1;
    const std::uint8_t b = bytes[at + i];
    if (b < (i == 1 ? low : 0x80) || b > (i == 1 ? high : 0xBF)) return 0;
  }
  return length;
}

}  // namespace

bool IsUtf8(std::span<const std::uint8_t> bytes, bool cut, ReadProgress* stop) {
  std::size_t next_check = InputMeter::kStep;
  for (std::size_t at = 0; at < bytes.size();) {
    if (at >= next_check && stop != nullptr) {
      stop->CheckStop();
      next_check = at + InputMeter::kStep;
    }
    const int length = Utf8Length(bytes, at);
    if (length == -1) return cut;
    if (length == 0) return false;
    at += static_cast<std::size_t>(length);
  }
  return true;
}

}  // namespace zerova
