// GrowingBytes on POSIX systems: pages of its own that grow in place, or move
// without being copied (mremap).
#include "services/growing_bytes.h"

#include <sys/mman.h>

#include <algorithm>
#include <new>

namespace zerova {

GrowingBytes::~GrowingBytes() {
  if (data_ != nullptr) ::munmap(data_, capacity_);
}

void GrowingBytes::Reserve(std::size_t more) {
  if (size_ + more <= capacity_) return;
  const std::size_t capacity = std::max(size_ + more, capacity_ * 2);
  void* data = data_ == nullptr ? ::mmap(nullptr, capacity, PROT_READ | PROT_WRITE,
                                         MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)
                                : ::mremap(data_, capacity_, capacity, MREMAP_MAYMOVE);
  if (data == MAP_FAILED) throw std::bad_alloc();
  data_ = data;
  capacity_ = capacity;
}

}  // namespace zerova
