// UTF-8 encoding, shared by the readers that decode UTF-16 and XML text.
#ifndef ZEROVA_FORMATS_COMMON_UNICODE_H_
#define ZEROVA_FORMATS_COMMON_UNICODE_H_

#include <string>

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

}  // namespace zerova

#endif  // ZEROVA_FORMATS_COMMON_UNICODE_H_
