#include "formats/xml/sax_element.h"

#include <climits>
#include <new>

namespace zerova {

SaxName SaxNames::Find(std::string_view text) const {
  const xmlChar* name = nullptr;
  if (text.size() <= INT_MAX) {
    name = xmlDictLookup(dictionary_, reinterpret_cast<const xmlChar*>(text.data()),
                         static_cast<int>(text.size()));
  }
  if (name == nullptr) throw std::bad_alloc();
  return SaxName(name);
}

std::string_view SaxAttribute::Decoded() const {
  const auto* begin = reinterpret_cast<const char*>(fields_[3]);
  const auto* end = reinterpret_cast<const char*>(fields_[4]);
  const std::string_view value(begin, static_cast<std::size_t>(end - begin));
  // Without entity substitution libxml2 hands an ampersand on (from &amp; or &#38;)
  // as the reference "&#38;", which a tree builder would resolve; every other
  // reference comes decoded.
  constexpr std::string_view kAmpersand = "&#38;";
  decoded_->clear();
  for (std::size_t pos = 0; pos < value.size();) {
    if (value.substr(pos, kAmpersand.size()) == kAmpersand) {
      decoded_->push_back('&');
      pos += kAmpersand.size();
    } else {
      decoded_->push_back(value[pos++]);
    }
  }
  return *decoded_;
}

}  // namespace zerova
