// Passwords on Windows: a password file's first line, whatever its line end;
// a file that cannot be read, said in words; the environment's secret, taken
// once and gone from both the system's and the C runtime's copies; and no
// prompt without a console.
#include "services/password_input.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "platform/windows/scratch_folder.h"
#include "services/error.h"

namespace zerova {
namespace {

TEST(PasswordInputTest, APasswordFileGivesItsFirstLine) {
  const test::ScratchFolder folder("password-file");
  const struct {
    const char* contents;
    const char* password;
  } rows[] = {
      {"secret\r\nnext line", "secret"},
      {"secret\n", "secret"},
      {"no line end", "no line end"},
      {"", ""},
      {"\r\n", ""},
      {"pässwort 日本\n", "pässwort 日本"},
  };
  for (const auto& row : rows) {
    const std::string file = folder.Write("password.txt", row.contents);
    EXPECT_EQ(ReadPasswordFile(file, [] {}), ToSecret(row.password)) << row.contents;
  }
  const auto refusal = [](const std::string& path) -> std::string {
    try {
      ReadPasswordFile(path, [] {});
    } catch (const FileSystemError& e) {
      return e.detail();
    }
    return "read";
  };
  EXPECT_EQ(refusal(folder.Path("missing.txt")),
            "could not read the password file: No such file or directory");
  EXPECT_EQ(refusal(folder.Path()), "could not read the password file: Is a directory");
}

TEST(PasswordInputTest, TheEnvironmentsSecretIsTakenOnce) {
  ::_wputenv(L"ZEROVA_TEST_SECRET=pässwort");  // the C runtime's copies and the system's
  EXPECT_EQ(TakeEnvironmentSecret("ZEROVA_TEST_SECRET"), ToSecret("pässwort"));
  EXPECT_EQ(::GetEnvironmentVariableW(L"ZEROVA_TEST_SECRET", nullptr, 0), 0u);
  EXPECT_EQ(std::getenv("ZEROVA_TEST_SECRET"), nullptr);
  EXPECT_EQ(::_wgetenv(L"ZEROVA_TEST_SECRET"), nullptr);
  EXPECT_FALSE(TakeEnvironmentSecret("ZEROVA_TEST_SECRET").has_value());
}

TEST(PasswordInputTest, NoConsoleNoPrompt) {
  if (::GetConsoleCP() != 0) GTEST_SKIP() << "run with a console";
  EXPECT_FALSE(PromptForPassword("book.xlsx", false, [] {}).has_value());
}

}  // namespace
}  // namespace zerova
