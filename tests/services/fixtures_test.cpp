// Every fixture folder under tests/data: each input file (input.FORMAT, or
// input-VARIANT.FORMAT for another version of a format: .xls, .xlsx, .xlsb, .ods,
// .fods, .xml, .html, .csv, .tsv) converts to expected.xml, byte for byte, with the
// password in the folder's password.txt when there is one. The folders and their
// documents come from tests/data/make_fixtures.py; the other inputs from
// make_office_fixtures.py, make_sheet_fixtures.py, make_encrypted_fixtures.py and,
// for .xlsb and Excel 2.x-4.x files, make_binary_fixtures.sh.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "services/error.h"
#include "support/document.h"
#include "support/given_passwords.h"

namespace zerova::test {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
  const std::vector<std::uint8_t> bytes = ReadFileBytes(path.string());
  return std::string(bytes.begin(), bytes.end());
}

TEST(FixturesTest, EveryInputGivesItsExpectedDocument) {
  std::vector<fs::path> inputs;
  for (const auto& folder : fs::directory_iterator(ZEROVA_TEST_DATA)) {
    if (!folder.is_directory()) continue;
    for (const auto& file : fs::directory_iterator(folder.path())) {
      const std::string stem = file.path().stem().string();
      if (stem == "input" || stem.starts_with("input-")) inputs.push_back(file.path());
    }
  }
  std::sort(inputs.begin(), inputs.end());
  std::set<std::string> kinds;
  for (const fs::path& input : inputs) kinds.insert(input.extension().string());
  EXPECT_EQ(kinds, (std::set<std::string>{".csv", ".fods", ".html", ".ods", ".tsv", ".xls", ".xlsb",
                                          ".xlsx", ".xml"}));

  for (const fs::path& input : inputs) {
    SCOPED_TRACE(input.string());
    std::vector<std::string> passwords;
    if (fs::exists(input.parent_path() / "password.txt")) {
      const std::string password = Read(input.parent_path() / "password.txt");
      passwords.push_back(password.substr(0, password.find('\n')));
    }
    GivenPasswords source(passwords);
    std::string got;
    try {
      got = DocumentOfBytes(ReadFileBytes(input.string()), input.filename().string(), &source);
    } catch (const Error& e) {
      ADD_FAILURE() << "refused: " << e.what();
      continue;
    }
    EXPECT_EQ(got, Read(input.parent_path() / "expected.xml"));
    EXPECT_TRUE(IsWellFormedXml(got));
  }
}

}  // namespace
}  // namespace zerova::test
