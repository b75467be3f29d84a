// GrowingBytes on Windows: address space reserved once, large enough for any
// stream the program reads, and pages committed as the bytes come, so that
// they never move and only what holds bytes costs memory.
#include "services/growing_bytes.h"

#include <windows.h>

#include <new>

namespace zerova {
namespace {

// The address space reserved: more than the largest stream read (2 GiB).
constexpr std::size_t kReserved = std::size_t{4} << 30;
// Pages are committed a MiB at a time, at least.
constexpr std::size_t kCommitStep = std::size_t{1} << 20;

}  // namespace

GrowingBytes::~GrowingBytes() {
  if (data_ != nullptr) ::VirtualFree(data_, 0, MEM_RELEASE);
}

void GrowingBytes::Reserve(std::size_t more) {
  if (size_ + more <= capacity_) return;
  if (size_ + more > kReserved) throw std::bad_alloc();
  if (data_ == nullptr) {
    data_ = ::VirtualAlloc(nullptr, kReserved, MEM_RESERVE, PAGE_NOACCESS);
    if (data_ == nullptr) throw std::bad_alloc();
  }
  std::size_t capacity = capacity_ + kCommitStep;
  while (capacity < size_ + more) capacity += kCommitStep;
  if (capacity > kReserved) capacity = kReserved;
  if (::VirtualAlloc(static_cast<char*>(data_) + capacity_, capacity - capacity_, MEM_COMMIT,
                     PAGE_READWRITE) == nullptr) {
    throw std::bad_alloc();
  }
  capacity_ = capacity;
}

}  // namespace zerova
