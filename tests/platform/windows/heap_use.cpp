// HeapBytesInUse on Windows: the process's private memory, committed pages.
#include <windows.h>
// After windows.h:
#include <psapi.h>

#include "support/heap_use.h"

namespace zerova::test {

std::size_t HeapBytesInUse() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  ::GetProcessMemoryInfo(::GetCurrentProcess(),
                         reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
  return counters.PrivateUsage;
}

}  // namespace zerova::test
