#include "services/secret.h"

namespace zerova {

SecretBytes ToSecret(std::string_view text) {
  return SecretBytes(reinterpret_cast<const std::uint8_t*>(text.data()),
                     reinterpret_cast<const std::uint8_t*>(text.data()) + text.size());
}

void WipeString(std::string& text) {
  text.resize(text.capacity());  // within the capacity: no new buffer
  WipeBytes(text.data(), text.size());
  text.clear();
}

}  // namespace zerova
