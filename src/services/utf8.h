// UTF-8 decoding, shared by the document's escaping and the error messages.
#ifndef ZEROVA_SERVICES_UTF8_H_
#define ZEROVA_SERVICES_UTF8_H_

#include <cstddef>
#include <string_view>

namespace zerova {

// Length of the well-formed UTF-8 sequence at the start of `s` (RFC 3629: no
// overlong forms, no surrogates, nothing past U+10FFFF), or 0 if there is none
// (`s` empty included). Stores the code point in `*cp` when the length is not 0.
inline std::size_t DecodeUtf8(std::string_view s, char32_t* cp) {
  if (s.empty()) return 0;
  const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char lead = b(0);
  std::size_t len;
  char32_t value;
  char32_t min;
  if (lead < 0x80) {
    *cp = lead;
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    len = 2, value = lead & 0x1F, min = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    len = 3, value = lead & 0x0F, min = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    len = 4, value = lead & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (s.size() < len) return 0;
  for (std::size_t i = 1; i < len; ++i) {
    if ((b(i) & 0xC0) != 0x80) return 0;
    value = (value << 6) | (b(i) & 0x3F);
  }
  if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  *cp = value;
  return len;
}

}  // namespace zerova

#endif  // ZEROVA_SERVICES_UTF8_H_
