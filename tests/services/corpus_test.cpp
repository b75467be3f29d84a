// The real-world corpus at ZEROVA_CORPUS: its encrypted workbooks opened with
// the passwords their projects' tests give. What every other file of it must give
// is checked by the corpus's own check.sh, which scripts/test.sh runs. Skipped
// when the corpus is absent.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "services/error.h"
#include "support/document.h"
#include "support/given_passwords.h"

namespace zerova::test {
namespace {

namespace fs = std::filesystem;

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
