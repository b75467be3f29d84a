#include "cli/passwords.h"

#include "conversion/stop_texts.h"
#include "services/error.h"
#include "services/password_input.h"
#include "services/stop_signals.h"

namespace zerova {
namespace {

constexpr int kPromptTries = 3;

}  // namespace

std::optional<SecretBytes> TakePasswordFromEnvironment() {
  return TakeEnvironmentSecret(kPasswordVariable);
}

CommandLinePasswords::CommandLinePasswords(std::string password_file,
                                           const std::optional<SecretBytes>* environment,
                                           std::function<void()> before_prompt)
    : password_file_(std::move(password_file)),
      environment_(environment),
      before_prompt_(std::move(before_prompt)) {}

std::optional<SecretBytes> CommandLinePasswords::Password(const std::string& file,
                                                          bool previous_was_wrong) {
  ++asked_;
  const auto check_stop = [&file] {
    if (StopSignal() != 0) throw Cancelled(file, kCancelledBeforeWriting);
  };
  if (!password_file_.empty()) {
    if (asked_ > 1) return std::nullopt;
    return ReadPasswordFile(password_file_, check_stop);
  }
  if (environment_ != nullptr && environment_->has_value()) {
    if (asked_ > 1) return std::nullopt;
    return **environment_;
  }
  if (asked_ > kPromptTries || !StandardInputIsTerminal()) return std::nullopt;
  if (before_prompt_) before_prompt_();
  return PromptForPassword(file, previous_was_wrong, check_stop);
}

}  // namespace zerova
