// UTF-8 encoding and checking and UTF-16 decoding, shared by the readers that
// decode UTF-16, XML and text of unknown encoding.
#ifndef ZEROVA_FORMATS_TEXT_UNICODE_H_
#define ZEROVA_FORMATS_TEXT_UNICODE_H_

#include <cstdint>
#include <span>
#include <string>

#include "services/read_progress.h"

namespace zerova {

// Appends code point `c` to `out` as UTF-8.
// REQUIRES: c <= 0x10FFFF and not a surrogate.
inline void AppendUtf8(char32_t c, std::string& out) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// Turns UTF-16 code units into UTF-8, one unit at a time, so a string split
// across records decodes as one: a surrogate pair becomes one character, an
// unpaired surrogate U+FFFD. Call Finish() after the last unit.
class Utf16Decoder {
 public:
  // Appends to `out`, which must outlive the decoder.
  explicit Utf16Decoder(std::string& out) : out_(out) {}

  void Unit(char16_t unit) {
    if (unit >= 0xDC00 && unit <= 0xDFFF && high_ != 0) {
      AppendUtf8(0x10000 + ((high_ - 0xD800) << 10) + (unit - 0xDC00), out_);
      high_ = 0;
      return;
    }
    Finish();
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      high_ = unit;
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
      AppendUtf8(kReplacement, out_);
    } else {
      AppendUtf8(unit, out_);
    }
  }

  // Ends a pending high surrogate that no low one followed.
  void Finish() {
    if (high_ != 0) AppendUtf8(kReplacement, out_);
    high_ = 0;
  }

 private:
  static constexpr char32_t kReplacement = 0xFFFD;

  std::string& out_;
  char16_t high_ = 0;
};

// True iff `bytes` are valid UTF-8 (no overlong forms, surrogates or code points
// past U+10FFFF). When `cut`, a sequence cut short by the end of `bytes` is
// allowed, since they may be the first bytes of a file. Asks `stop` (null:
// nobody) whether to stop every 64 KB, and throws Cancelled when it answers a stop.
bool IsUtf8(std::span<const std::uint8_t> bytes, bool cut, ReadProgress* stop = nullptr);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_TEXT_UNICODE_H_
