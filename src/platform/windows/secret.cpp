// WipeBytes on Windows: SecureZeroMemory, which the compiler may not drop.
#include <windows.h>

#include "services/secret.h"

namespace zerova {

void WipeBytes(void* data, std::size_t size) {
  if (data != nullptr && size > 0) ::SecureZeroMemory(data, size);
}

}  // namespace zerova
