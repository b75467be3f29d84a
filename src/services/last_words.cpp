// LastWords: the stack of words a second stop signal says, the top one armed
// with the platform's handler (ArmLastWords).
#include "services/stop_signals.h"

#include <utility>

namespace zerova {
namespace {

// The stack of LastWords objects: each one's words, the top one armed.
LastWords::Words* top_words = nullptr;

}  // namespace

LastWords::LastWords(std::string line, std::string removable, FileId id) : previous_(top_words) {
  top_words = new Words{std::move(line), std::move(removable), id};
  ArmLastWords(new Words(*top_words));
}

LastWords::~LastWords() {
  delete top_words;
  top_words = previous_;
  ArmLastWords(previous_ != nullptr ? new Words(*previous_) : nullptr);
}

void LastWords::Change(std::string line, std::string removable, FileId id) {
  *top_words = Words{std::move(line), std::move(removable), id};
  ArmLastWords(new Words(*top_words));
}

}  // namespace zerova
