// HeapBytesInUse with glibc: what malloc has handed out.
#include <malloc.h>

#include "support/heap_use.h"

namespace zerova::test {

std::size_t HeapBytesInUse() { return mallinfo2().uordblks; }

}  // namespace zerova::test
