// Memory that holds a password or a key derived from one.
//
// Such bytes live in SecretBytes, a vector whose every buffer is overwritten with
// zeros before it goes back to the heap (when it grows, shrinks or dies), so no
// copy of a password lingers in freed memory. A vector keeps no bytes inside the
// object itself, so moving one moves the buffer and leaves nothing behind.
// Strings that briefly hold a password (read from a file or a terminal) are wiped
// with WipeString as soon as their text is copied out.
#ifndef ZEROVA_SERVICES_SECRET_H_
#define ZEROVA_SERVICES_SECRET_H_

#include <cstddef>
#include <cstdint>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace zerova {

// Overwrites `size` bytes at `data` with zeros; the compiler may not drop the
// write. Each platform implements it in its folder under src/platform/.
void WipeBytes(void* data, std::size_t size);

// The allocator of SecretBytes: zeros each buffer before freeing it.
template <class T>
struct WipingAllocator {
  using value_type = T;
  WipingAllocator() = default;
  template <class U>
  WipingAllocator(const WipingAllocator<U>&) {}
  T* allocate(std::size_t n) { return static_cast<T*>(::operator new(n * sizeof(T))); }
  void deallocate(T* p, std::size_t n) {
    WipeBytes(p, n * sizeof(T));
    ::operator delete(p);
  }
  template <class U>
  bool operator==(const WipingAllocator<U>&) const {
    return true;
  }
};

using SecretBytes = std::vector<std::uint8_t, WipingAllocator<std::uint8_t>>;

// A copy of `text` in SecretBytes.
SecretBytes ToSecret(std::string_view text);

// Zeros the whole buffer of `text`, up to its capacity, and empties it.
void WipeString(std::string& text);

}  // namespace zerova

#endif  // ZEROVA_SERVICES_SECRET_H_
