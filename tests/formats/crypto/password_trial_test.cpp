// Which passwords are tried, in which order, and what the user is told.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats/crypto/password_trial.h"
#include "services/error.h"
#include "support/document.h"

namespace zerova::test {
namespace {

// Tries passwords on a workbook that opens with `right`: the passwords tried, the
// questions asked (GivenPasswords' notes) and the refusal, as "tried/asked/refusal".
std::string Try(GivenPasswords* source, const std::string& right) {
  std::string tried, refusal;
  try {
    TryPasswords(source, "book.xls", [&](ByteView password) {
      tried += std::string(password.begin(), password.end()) + ",";
      return std::string(password.begin(), password.end()) == right;
    });
  } catch (const Error& e) {
    refusal = e.what();
  }
  std::string asked;
  for (const std::string& question : source ? source->asked : std::vector<std::string>{}) {
    asked += question + ",";
  }
  return tried + "/" + asked + "/" + refusal;
}

TEST(PasswordTrialTest, DefaultPasswordFirstThenTheSourceUntilOneFits) {
  const std::string locked = "book.xls: the workbook is password-protected and ";
  const struct {
    std::vector<std::string> given;
    std::string right, outcome;
  } cases[] = {
      {{"a", "b"}, "b", "VelvetSweatshop,a,b,/book.xls,book.xls (wrong),/"},
      {{}, "b", "VelvetSweatshop,/book.xls,/" + locked + "needs a password"},
      {{"a"},
       "b",
       "VelvetSweatshop,a,/book.xls,book.xls (wrong),/" + locked + "the password is wrong"},
      {{""}, "", "VelvetSweatshop,,/book.xls,/"},  // the empty password is a password
  };
  for (const auto& c : cases) {
    GivenPasswords source(c.given);
    EXPECT_EQ(Try(&source, c.right), c.outcome);
  }
  EXPECT_EQ(Try(nullptr, "b"), "VelvetSweatshop,//" + locked + "needs a password");
}

TEST(PasswordTrialTest, PasswordsAreHashedAsUtf16) {
  const auto utf16 = [](std::string_view utf8) {
    const SecretBytes units =
        PasswordUtf16(ByteView(reinterpret_cast<const std::uint8_t*>(utf8.data()), utf8.size()));
    return std::vector<int>(units.begin(), units.end());
  };
  EXPECT_EQ(utf16("\xF0\x9F\x94\x91"), (std::vector<int>{0x3D, 0xD8, 0x11, 0xDD}));  // U+1F511
  // A sequence cut short by the password's end is U+FFFD; no byte past the end is read.
  EXPECT_EQ(utf16(std::string_view("a\xC3\xA9", 2)), (std::vector<int>{0x61, 0, 0xFD, 0xFF}));
}

}  // namespace
}  // namespace zerova::test
