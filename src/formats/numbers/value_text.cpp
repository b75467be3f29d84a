#include "formats/numbers/value_text.h"

#include <algorithm>
#include <charconv>
#include <system_error>

namespace zerova {

bool ParseNumberText(std::string_view text, double* number) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  // from_chars takes "inf", "nan" and a second sign; none belongs to the formats.
  // (One pass over the text: find_first_of would search the set once per byte.)
  if (text.empty() || text.front() == '+' || std::any_of(text.begin(), text.end(), [](char c) {
        return c == 'i' || c == 'I' || c == 'n' || c == 'N';
      })) {
    return false;
  }
  double parsed = 0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), parsed, std::chars_format::general);
  if (error != std::errc() || end != text.data() + text.size()) return false;
  *number = parsed;
  return true;
}

bool ParseBooleanText(std::string_view text, bool* value) {
  if (text == "true" || text == "1") {
    *value = true;
    return true;
  }
  if (text == "false" || text == "0") {
    *value = false;
    return true;
  }
  return false;
}

bool ParseCountText(std::string_view text, std::uint64_t* count) {
  std::uint64_t parsed = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return false;
  *count = parsed;
  return true;
}

bool ParseClampedCount(std::string_view text, std::uint64_t most, std::uint64_t* count) {
  std::uint64_t parsed = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (text.empty() || end != text.data() + text.size()) return false;
  if (error == std::errc::result_out_of_range || parsed > most) {
    parsed = most;
  } else if (error != std::errc()) {
    return false;
  }
  *count = parsed;
  return true;
}

}  // namespace zerova
