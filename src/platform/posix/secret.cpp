// WipeBytes on POSIX systems: explicit_bzero, which the compiler may not drop.
#include <string.h>

#include "services/secret.h"

namespace zerova {

void WipeBytes(void* data, std::size_t size) {
  if (data != nullptr && size > 0) ::explicit_bzero(data, size);
}

}  // namespace zerova
