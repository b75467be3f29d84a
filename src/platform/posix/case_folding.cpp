// Case folding on POSIX systems: towlower in the C.UTF-8 locale, whatever the
// user's locale is.
#include "services/case_folding.h"

#include <locale.h>
#include <wctype.h>

#include <algorithm>

#include "services/utf8.h"

namespace zerova {

std::u32string FoldedCase(std::string_view text) {
  static const locale_t unicode = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
  std::u32string folded;
  while (!text.empty()) {
    char32_t cp = static_cast<unsigned char>(text[0]);
    const std::size_t length = std::max<std::size_t>(DecodeUtf8(text, &cp), 1);
    folded.push_back(unicode != nullptr ? static_cast<char32_t>(::towlower_l(cp, unicode))
                     : cp < 0x80        ? static_cast<char32_t>(::towlower(cp))
                                        : cp);
    text.remove_prefix(length);
  }
  return folded;
}

}  // namespace zerova
