// FirstDifference: where two documents part, for test failure messages.
#ifndef ZEROVA_TESTS_SERVICES_DOCUMENT_DIFF_H_
#define ZEROVA_TESTS_SERVICES_DOCUMENT_DIFF_H_

#include <sstream>
#include <string>

namespace zerova::testing {

// "" when `expected` and `got` are the same bytes; else the first differing line of
// each, numbered from 1 (line ends are compared too).
inline std::string FirstDifference(const std::string& expected, const std::string& got) {
  if (expected == got) return "";
  std::istringstream want(expected), have(got);
  std::string a, b;
  for (int line = 1;; ++line) {
    const bool more_a = static_cast<bool>(std::getline(want, a));
    const bool more_b = static_cast<bool>(std::getline(have, b));
    if (!more_a && !more_b) return "the documents differ in their last line end";
    if (!more_a || !more_b || a != b) {
      return "line " + std::to_string(line) + ": expected \"" + (more_a ? a : "<end>") +
             "\", got \"" + (more_b ? b : "<end>") + "\"";
    }
  }
}

}  // namespace zerova::testing

#endif  // ZEROVA_TESTS_SERVICES_DOCUMENT_DIFF_H_
