// The names a batch gives its documents, under a rule as Windows has it (none
// of <>:"/\|?* or the control characters, no trailing dot or space, no device's
// name before the first dot) and a short limit, so that this platform shows what
// another's would do: each name valid, distinct but for case, cut at a
// character's end with room for its "-N", and free again once given back.
#include "cli/document_names.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <string_view>

namespace zerova::test {
namespace {

bool WindowsLike(std::string_view name) {
  if (name.empty() || name == "." || name == ".." || name.back() == '.' || name.back() == ' ') {
    return false;
  }
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20 ||
        std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos) {
      return false;
    }
  }
  std::string first(name.substr(0, name.find('.')));
  for (char& c : first) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return first != "CON" && first != "NUL" && first != "COM1";
}

TEST(DocumentNamesTest, EachNameIsValidAndDistinctUnderAnotherSystemsRule) {
  DocumentNames names(FileNameRule{WindowsLike, 24});
  const std::string e = "\xC3\xA9", ten_e = e + e + e + e + e + e + e + e + e + e;
  const struct {
    std::string stem, name, taken;  // `taken`: the name wanted, held by an earlier document
  } rows[] = {
      {"w.CON", "w.CON.xml", ""},
      {"w.a<b>|c", "w.a_b__c.xml", ""},
      {"w.x.", "w.x..xml", ""},
      {"w.Data", "w.Data.xml", ""},
      {"w.DATA", "w.DATA-2.xml", "w.Data.xml"},
      {"w.data", "w.data-3.xml", "w.Data.xml"},
      {"CON", "CON_.xml", ""},
      {"nul", "nul_.xml", ""},
      {"\xC3\x84rger", "\xC3\x84rger.xml", ""},
      {"\xC3\xA4rger", "\xC3\xA4rger-2.xml", "\xC3\x84rger.xml"},
      {ten_e + e, ten_e + ".xml", ""},  // 22 bytes cut to 20
      {ten_e + e, ten_e.substr(0, 18) + "-2.xml", ten_e + ".xml"},
      {"a" + ten_e, "a" + ten_e.substr(0, 18) + ".xml", ""},  // not in the midst of a character
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.stem);
    const DocumentNames::Claim claim = names.Take(row.stem, "source of " + row.stem);
    EXPECT_EQ(claim.name, row.name);
    EXPECT_EQ(claim.taken, row.taken);
    EXPECT_TRUE(WindowsLike(claim.name));
    EXPECT_LE(claim.name.size(), 24u);
  }
  EXPECT_EQ(names.Take("w.DATA", "again").taken_by, "source of w.Data");
  names.GiveBack("w.Data.xml");
  EXPECT_EQ(names.Take("w.dATA", "after").name, "w.dATA.xml");
}

}  // namespace
}  // namespace zerova::test
