// GivenPasswords: a password source that answers from a list, for the tests.
#ifndef ZEROVA_TESTS_SUPPORT_GIVEN_PASSWORDS_H_
#define ZEROVA_TESTS_SUPPORT_GIVEN_PASSWORDS_H_

#include <string>
#include <vector>

#include "services/password_source.h"

namespace zerova::test {

// Gives its passwords one per call, then nullopt; notes each question as
// "FILE" or "FILE (wrong)" when the previous password was wrong.
class GivenPasswords final : public PasswordSource {
 public:
  explicit GivenPasswords(std::vector<std::string> passwords) : passwords_(std::move(passwords)) {}

  std::optional<SecretBytes> Password(const std::string& file, bool previous_was_wrong) override {
    asked.push_back(file + (previous_was_wrong ? " (wrong)" : ""));
    if (next_ == passwords_.size()) return std::nullopt;
    return ToSecret(passwords_[next_++]);
  }

  std::vector<std::string> asked;

 private:
  std::vector<std::string> passwords_;
  std::size_t next_ = 0;
};

}  // namespace zerova::test

#endif  // ZEROVA_TESTS_SUPPORT_GIVEN_PASSWORDS_H_
