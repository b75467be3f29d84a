// Zip: builds a small zip in memory for tests of the .xlsx and .ods readers.
#ifndef ZEROVA_TESTS_SUPPORT_ZIP_BUILDER_H_
#define ZEROVA_TESTS_SUPPORT_ZIP_BUILDER_H_

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace zerova::test {

// Members of a zip, in order: {path ("xl/workbook.xml"), contents}.
using ZipMembers = std::vector<std::pair<std::string, std::string>>;

// The bytes of a zip holding `members`, each deflated.
std::vector<std::uint8_t> Zip(const ZipMembers& members);

}  // namespace zerova::test

#endif  // ZEROVA_TESTS_SUPPORT_ZIP_BUILDER_H_
