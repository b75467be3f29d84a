// Whole files. Every fixture folder under tests/data: each input file (input.FORMAT,
// or input-VARIANT.FORMAT for another version of a format) converts to expected.xml,
// byte for byte, with the password in the folder's password.txt when there is one.
// The folders and their documents come from tests/data/make_fixtures.py; the other
// inputs from make_office_fixtures.py, make_sheet_fixtures.py,
// make_encrypted_fixtures.py and, for .xlsb and Excel 2.x-4.x files,
// make_binary_fixtures.cpp. And the real-world corpus at ZEROVA_CORPUS, when it is
// there: its encrypted workbooks opened with the passwords their projects' tests
// give (what every other file of it must give is checked by its own check.sh).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "services/error.h"
#include "support/document.h"

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

// The corpus's encrypted workbooks, each with the password its project's tests give
// ("" for Excel's default): refused without it, and its first label with it.
TEST(CorpusTest, EncryptedFilesOpenWithTheirPasswords) {
  const fs::path folder = fs::path(ZEROVA_CORPUS) / "xls";
  if (!fs::is_directory(folder)) GTEST_SKIP() << "no corpus at " << folder;
  const struct {
    const char* file;  // and its encryption
    const char* password;
    const char* label;
  } cases[] = {
      {"exceldatareader__Test_git_issue_242_xor_pwd_password.xls", "password",
       "Password: password"},                                      // BIFF5, XOR
      {"poi__xor-encryption-abc.xls", "abc", "1"},                 // BIFF8, XOR
      {"poi__60284.xls", "", ""},                                  // BIFF5, XOR, A1 empty
      {"parseexcel__pers-protected.xls", "", "1"},                 // RC4, 40-bit MD5 key
      {"sheetjs__password_2002_128_strong.xls", "password", "1"},  // RC4 CryptoAPI, 128 bits
  };
  for (const auto& c : cases) {
    const fs::path path = folder / c.file;
    // The folder is there, so each of its files must be.
    if (!fs::exists(path)) {
      ADD_FAILURE() << "the corpus lacks " << path;
      continue;
    }
    const std::vector<std::uint8_t> bytes = ReadFileBytes(path.string());
    if (*c.password != '\0') {
      EXPECT_THROW(DocumentOfBytes(bytes, c.file), ReadError) << c.file;
    }
    GivenPasswords source({c.password});
    try {
      const std::string document = DocumentOfBytes(bytes, c.file, &source);
      const std::string label = std::string("lbl=\"") + c.label + "\"";
      EXPECT_TRUE(*c.label == '\0' ? document.find("<node") == std::string::npos
                                   : document.find(label) != std::string::npos)
          << c.file << ": " << document.substr(0, 200);
    } catch (const Error& e) {
      ADD_FAILURE() << c.file << ": " << e.what();
    }
  }
}

}  // namespace
}  // namespace zerova::test
