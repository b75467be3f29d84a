// How many bytes this process has read through read-like system calls so far
// (rchar of /proc/self/io), to check how much of a file a step reads.
#ifndef ZEROVA_TESTS_SUPPORT_READ_COUNTER_H_
#define ZEROVA_TESTS_SUPPORT_READ_COUNTER_H_

#include <cstdint>
#include <fstream>
#include <string>

namespace zerova::test {

// The bytes read so far; -1 where /proc/self/io cannot be read. Reading it adds
// a hundred bytes or so to the count.
inline std::int64_t BytesReadSoFar() {
  std::ifstream io("/proc/self/io");
  std::string key;
  std::int64_t value = 0;
  while (io >> key >> value) {
    if (key == "rchar:") return value;
  }
  return -1;
}

}  // namespace zerova::test

#endif  // ZEROVA_TESTS_SUPPORT_READ_COUNTER_H_
