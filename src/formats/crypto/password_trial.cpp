#include "formats/crypto/password_trial.h"

#include <cstring>

#include "services/error.h"

namespace zerova {
namespace {

// The code point of the UTF-8 sequence at `utf8[*at]`, moving *at past it; an
// ill-formed byte gives U+FFFD and moves by one.
char32_t NextCodePoint(ByteView utf8, std::size_t* at) {
  const std::uint8_t lead = utf8[(*at)++];
  if (lead < 0x80) return lead;
  int extra = 0;
  char32_t c = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1, c = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2, c = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3, c = lead & 0x07;
  } else {
    return 0xFFFD;
  }
  const std::size_t start = *at;
  for (int i = 0; i < extra; ++i) {
    if (*at >= utf8.size() || (utf8[*at] & 0xC0) != 0x80) {
      *at = start;
      return 0xFFFD;
    }
    c = (c << 6) | (utf8[(*at)++] & 0x3F);
  }
  const char32_t least[] = {0, 0x80, 0x800, 0x10000};
  if (c < least[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    *at = start;
    return 0xFFFD;
  }
  return c;
}

void PutUnit(SecretBytes& out, char32_t unit) {
  out.push_back(static_cast<std::uint8_t>(unit & 0xFF));
  out.push_back(static_cast<std::uint8_t>(unit >> 8));
}

}  // namespace

void TryPasswords(PasswordSource* source, const std::string& file,
                  const std::function<bool(ByteView password)>& fits, ReadProgress* progress) {
  const auto* fallback = reinterpret_cast<const std::uint8_t*>(kDefaultPassword);
  if (fits(ByteView(fallback, std::strlen(kDefaultPassword)))) return;
  bool wrong = false;
  while (source != nullptr) {
    if (progress != nullptr) progress->CheckStop();
    const std::optional<SecretBytes> password = source->Password(file, wrong);
    if (!password) break;
    if (fits(*password)) return;
    wrong = true;
  }
  if (!wrong) throw PasswordNeeded(file, kNeedsPassword);
  throw ReadError(file, kWrongPassword);
}

SecretBytes PasswordUtf16(ByteView utf8) {
  SecretBytes out;
  out.reserve(utf8.size() * 2);
  for (std::size_t at = 0; at < utf8.size();) {
    const char32_t c = NextCodePoint(utf8, &at);
    if (c < 0x10000) {
      PutUnit(out, c);
    } else {
      PutUnit(out, 0xD800 + ((c - 0x10000) >> 10));
      PutUnit(out, 0xDC00 + ((c - 0x10000) & 0x3FF));
    }
  }
  return out;
}

}  // namespace zerova
