#include "formats/numbers/value_text.h"

#include <algorithm>
#include <charconv>
#include <system_error>

namespace zerova {
namespace {

constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads the whole of `text` when it is a sign or none, then at most 15 digits
// with at most one point among them ("-12.5", ".5"), the form nearly every
// cell's number takes. Such a number is a
// whole number below 2^53 divided by a power of ten up to 10^15, both exact
// doubles, and IEEE division rounds their quotient correctly: the double
// from_chars gives. False, storing nothing, for any other text.
bool ParseShortDecimal(std::string_view text, double* number) {
  const char* p = text.data();
  const char* const end = p + text.size();
  const bool negative = p != end && *p == '-';
  if (p != end && (*p == '-' || *p == '+')) ++p;
  const char* const first = p;
  const char* point = nullptr;
  std::uint64_t mantissa = 0;
  for (; p != end; ++p) {
    const auto digit = static_cast<unsigned>(*p - '0');
    if (digit <= 9) {
      mantissa = mantissa * 10 + digit;
    } else if (*p == '.' && point == nullptr) {
      point = p;
    } else {
      return false;
    }
  }
  const std::ptrdiff_t fraction = point == nullptr ? 0 : end - point - 1;
  const std::ptrdiff_t digits = (end - first) - (point == nullptr ? 0 : 1);
  if (digits == 0 || digits > 15) return false;
  const double value = static_cast<double>(mantissa) / kPowersOfTen[fraction];
  *number = negative ? -value : value;
  return true;
}

}  // namespace

bool ParseNumberText(std::string_view text, double* number) {
  if (ParseShortDecimal(text, number)) return true;
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
  // Up to 19 digits cannot overflow: counted here, without from_chars.
  if (!text.empty() && text.size() <= 19) {
    std::uint64_t value = 0;
    for (const char c : text) {
      if (!IsDigit(c)) return false;
      value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    *count = value;
    return true;
  }
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
