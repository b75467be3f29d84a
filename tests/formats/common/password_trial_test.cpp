// Which passwords are tried, in which order, and what the user is told.
#include "formats/common/password_trial.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "services/error.h"
#include "support/given_passwords.h"

namespace zerova::testing {
namespace {

// Tries passwords on a workbook that opens with `right`; returns the passwords
// tried and the refusal ("" when one fitted).
std::pair<std::vector<std::string>, std::string> Try(PasswordSource* source,
                                                     const std::string& right) {
  std::vector<std::string> tried;
  try {
    TryPasswords(source, "book.xls", [&](ByteView password) {
      tried.emplace_back(password.begin(), password.end());
      return tried.back() == right;
    });
  } catch (const Error& e) {
    return {tried, e.what()};
  }
  return {tried, ""};
}

TEST(PasswordTrialTest, DefaultPasswordFirstThenTheSourceUntilOneFits) {
  using Strings = std::vector<std::string>;
  const std::string needs = "book.xls: the workbook is password-protected and needs a password";
  const std::string wrong =
      "book.xls: the workbook is password-protected and the password is wrong";
  const struct {
    const char* name;
    Strings given;
    std::string right;
    Strings tried, asked;
    std::string refusal;
  } cases[] = {
      {"default fits: nobody is asked", {"x"}, "VelvetSweatshop", {"VelvetSweatshop"}, {}, ""},
      {"second answer fits",
       {"a", "b"},
       "b",
       {"VelvetSweatshop", "a", "b"},
       {"book.xls", "book.xls (wrong)"},
       ""},
      {"no answer", {}, "b", {"VelvetSweatshop"}, {"book.xls"}, needs},
      {"wrong, then no more",
       {"a"},
       "b",
       {"VelvetSweatshop", "a"},
       {"book.xls", "book.xls (wrong)"},
       wrong},
      {"the empty password is a password", {""}, "", {"VelvetSweatshop", ""}, {"book.xls"}, ""},
  };
  for (const auto& c : cases) {
    GivenPasswords source(c.given);
    const auto [tried, refusal] = Try(&source, c.right);
    EXPECT_EQ(tried, c.tried) << c.name;
    EXPECT_EQ(source.asked, c.asked) << c.name;
    EXPECT_EQ(refusal, c.refusal) << c.name;
  }
  EXPECT_EQ(Try(nullptr, "b").second, needs);
}

TEST(PasswordTrialTest, PasswordsAreHashedAsUtf16) {
  const auto utf16 = [](std::string_view utf8) {
    const SecretBytes units =
        PasswordUtf16(ByteView(reinterpret_cast<const std::uint8_t*>(utf8.data()), utf8.size()));
    return std::vector<int>(units.begin(), units.end());
  };
  EXPECT_EQ(utf16("\xF0\x9F\x94\x91"), (std::vector<int>{0x3D, 0xD8, 0x11, 0xDD}));  // U+1F511
  // Ill-formed bytes (a stray continuation, a cut sequence, an overlong form) are U+FFFD.
  EXPECT_EQ(utf16("\x80"
                  "a\xE2\x82"),
            (std::vector<int>{0xFD, 0xFF, 'a', 0, 0xFD, 0xFF, 0xFD, 0xFF}));
  EXPECT_EQ(utf16("\xC0\xAF"), (std::vector<int>{0xFD, 0xFF, 0xFD, 0xFF}));
}

}  // namespace
}  // namespace zerova::testing
