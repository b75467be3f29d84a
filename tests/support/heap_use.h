// HeapBytesInUse: how much memory the program has taken from the heap, for
// tests that a reader holds a sheet in what it needs and no more. Each
// platform's tests folder (tests/platform/) answers it as closely as the
// platform tells.
#ifndef ZEROVA_TESTS_SUPPORT_HEAP_USE_H_
#define ZEROVA_TESTS_SUPPORT_HEAP_USE_H_

#include <cstddef>

namespace zerova::test {

// The bytes the heap has handed out and not taken back (glibc), or the
// process's private memory (Windows), which grows with them.
std::size_t HeapBytesInUse();

}  // namespace zerova::test

#endif  // ZEROVA_TESTS_SUPPORT_HEAP_USE_H_
