// Case folding on Windows: the system's own lower-case mapping (LCMapStringEx
// in the invariant locale), whatever the user's locale is.
#include "services/case_folding.h"

#include <windows.h>

#include <algorithm>

#include "services/utf8.h"

namespace zerova {
namespace {

// `cp` in lower case, as the system maps it; `cp` itself when it maps it to
// nothing else of one code point.
char32_t Lowered(char32_t cp) {
  wchar_t in[2];
  int length = 1;
  if (cp >= 0x10000) {
    in[0] = static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10));
    in[1] = static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    length = 2;
  } else {
    in[0] = static_cast<wchar_t>(cp);
  }
  wchar_t out[4];
  const int got = ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, in, length, out, 4,
                                  nullptr, nullptr, 0);
  if (got == 1 && length == 1) return out[0];
  if (got == 2 && length == 2 && out[0] >= 0xD800 && out[0] < 0xDC00) {
    return 0x10000 + ((static_cast<char32_t>(out[0]) - 0xD800) << 10) + (out[1] - 0xDC00);
  }
  return cp;
}

}  // namespace

std::u32string FoldedCase(std::string_view text) {
  std::u32string folded;
  while (!text.empty()) {
    char32_t cp = static_cast<unsigned char>(text[0]);
    const std::size_t length = DecodeUtf8(text, &cp);
    folded.push_back(length > 0 ? Lowered(cp) : cp);
    text.remove_prefix(std::max<std::size_t>(length, 1));
  }
  return folded;
}

}  // namespace zerova
