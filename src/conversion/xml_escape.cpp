#include "conversion/xml_escape.h"

#include <cstdint>

namespace zerova {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// True iff the byte needs more than a plain copy: markup, a control character,
// or the start of a multi-byte sequence that must be checked.
bool NeedsCare(unsigned char c) {
  return c < 0x20 || c >= 0x80 || c == '&' || c == '<' || c == '>' || c == '"';
}

// Length of the well-formed UTF-8 sequence at the start of `s` (RFC 3629: no
// overlong forms, no surrogates, nothing past U+10FFFF), or 0 if there is none.
// Stores the code point in `*cp`.
std::size_t DecodeUtf8(std::string_view s, char32_t* cp) {
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

}  // namespace

void AppendXmlEscaped(std::string_view text, std::string& out) {
  std::size_t plain = 0;
  while (plain < text.size() && !NeedsCare(static_cast<unsigned char>(text[plain]))) ++plain;
  if (plain == text.size()) {
    out.append(text);
    return;
  }
  out.reserve(out.size() + text.size() + 16);
  out.append(text.substr(0, plain));
  std::size_t i = plain;
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (!NeedsCare(c)) {
      out.push_back(static_cast<char>(c));
      ++i;
      continue;
    }
    switch (c) {
      case '&':
        out.append("&amp;");
        ++i;
        continue;
      case '<':
        out.append("&lt;");
        ++i;
        continue;
      case '>':
        out.append("&gt;");
        ++i;
        continue;
      case '"':
        out.append("&quot;");
        ++i;
        continue;
      case '\r':
        out.append("&#13;");
        ++i;
        continue;
      case '\n':
        out.append("&#10;");
        ++i;
        continue;
      case '\t':
        out.append("&#9;");
        ++i;
        continue;
      default:
        break;
    }
    if (c < 0x20) {  // C0 controls other than TAB, LF, CR are not XML 1.0 characters
      out.append(kReplacement);
      ++i;
      continue;
    }
    char32_t cp = 0;
    const std::size_t len = DecodeUtf8(text.substr(i), &cp);
    if (len == 0) {  // not UTF-8: replace the one byte and go on
      out.append(kReplacement);
      ++i;
    } else if (cp == 0xFFFE || cp == 0xFFFF) {
      out.append(kReplacement);
      i += len;
    } else {
      out.append(text.substr(i, len));
      i += len;
    }
  }
}

}  // namespace zerova
