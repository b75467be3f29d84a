#include "cli/document_names.h"

#include <algorithm>
#include <utility>

#include "services/case_folding.h"
#include "services/utf8.h"

namespace zerova {
namespace {

constexpr std::string_view kExtension = ".xml";

// `text` cut to at most `bytes` bytes, at the end of a UTF-8 character.
std::string_view Cut(std::string_view text, std::size_t bytes) {
  if (text.size() <= bytes) return text;
  while (bytes > 0 && (static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80) --bytes;
  return text.substr(0, bytes);
}

}  // namespace

std::string DocumentNames::Allowed(std::string_view stem) const {
  std::string allowed;
  while (!stem.empty()) {
    char32_t cp;
    const std::size_t length = std::max<std::size_t>(DecodeUtf8(stem, &cp), 1);
    const std::string character(stem.substr(0, length));
    // Alone between two letters, so that only the character itself is judged.
    allowed += rule_.valid("a" + character + "a") ? character : "_";
    stem.remove_prefix(length);
  }
  return allowed;
}

std::string DocumentNames::Candidate(const std::string& stem, int attempt) const {
  const std::string suffix = attempt == 1 ? "" : "-" + std::to_string(attempt);
  const std::size_t room = rule_.most_bytes - kExtension.size() - suffix.size();
  std::string name = std::string(Cut(stem, room)) + suffix + std::string(kExtension);
  if (!rule_.valid(name)) name.insert(std::min(name.find('.'), name.size()), "_");
  return name;
}

DocumentNames::Claim DocumentNames::Take(std::string_view stem, std::string source) {
  const std::string allowed = Allowed(stem);
  Claim claim;
  for (int attempt = 1;; ++attempt) {
    claim.name = Candidate(allowed, attempt);
    const auto [holder, added] = taken_.emplace(FoldedCase(claim.name), Holder{});
    if (added) {
      holder->second = {claim.name, std::move(source)};
      return claim;
    }
    if (attempt == 1) {
      claim.taken = holder->second.name;
      claim.taken_by = holder->second.source;
    }
  }
}

void DocumentNames::GiveBack(const std::string& name) { taken_.erase(FoldedCase(name)); }

}  // namespace zerova
