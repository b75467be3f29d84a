#include "conversion/cell_text.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>

namespace zerova {
namespace {

// The calendar date of day number `day` (>= 1) in `system`.
std::chrono::year_month_day DateOfDay(std::int64_t day, DateSystem system) {
  using std::chrono::days, std::chrono::sys_days, std::chrono::year;
  if (system == DateSystem::k1904) return sys_days(year(1904) / 1 / 1) + days(day);
  // The 1900 system counts 1900-02-29, which never was: day 60 is that day, and
  // every later day is one less than its count from 1899-12-31.
  if (day == 60) return year(1900) / 2 / 29;
  return sys_days(year(1899) / 12 / 31) + days(day < 60 ? day : day - 1);
}

// Writes `value` (< 10^digits) as exactly `digits` decimal digits, zero-padded.
char* PutDigits(char* at, unsigned value, int digits) {
  for (int i = digits - 1; i >= 0; --i, value /= 10) at[i] = static_cast<char>('0' + value % 10);
  return at + digits;
}

void AppendTime(std::int64_t seconds_of_day, std::string& out) {
  char buf[8];
  char* at = PutDigits(buf, static_cast<unsigned>(seconds_of_day / 3600), 2);
  *at++ = ':';
  at = PutDigits(at, static_cast<unsigned>(seconds_of_day / 60 % 60), 2);
  *at++ = ':';
  at = PutDigits(at, static_cast<unsigned>(seconds_of_day % 60), 2);
  out.append(buf, at);
}

// Appends `number` as "%.15G" prints it, from its digits: `digits` (no trailing
// zeros, at most 15) times ten to the power `exponent` the first one stands at.
void AppendGeneralForm(bool negative, std::string_view digits, int exponent, std::string& out) {
  char buf[48];
  char* at = buf;
  if (negative) *at++ = '-';
  const auto n = static_cast<int>(digits.size());
  if (exponent < -4 || exponent >= 15) {  // d.dddE+XX
    *at++ = digits[0];
    if (n > 1) {
      *at++ = '.';
      at = std::copy(digits.begin() + 1, digits.end(), at);
    }
    *at++ = 'E';
    *at++ = exponent < 0 ? '-' : '+';
    const int magnitude = exponent < 0 ? -exponent : exponent;
    at = PutDigits(at, static_cast<unsigned>(magnitude), magnitude >= 100 ? 3 : 2);
  } else if (exponent >= 0) {  // ddd.ddd, or ddd000
    const int whole = exponent + 1;
    for (int i = 0; i < whole; ++i) *at++ = i < n ? digits[i] : '0';
    if (n > whole) {
      *at++ = '.';
      at = std::copy(digits.begin() + whole, digits.end(), at);
    }
  } else {  // 0.000ddd
    *at++ = '0';
    *at++ = '.';
    at = std::fill_n(at, -exponent - 1, '0');
    at = std::copy(digits.begin(), digits.end(), at);
  }
  out.append(buf, at);
}

// Appends the decimal `digits` / 10^`d` (at most 15 digits, the first not 0;
// the last not 0 when d > 0, as the least d gives) as "%.15G" prints it: as
// it stands, unless it is below 10^-4 and takes the exponent form.
void AppendDecimal(bool negative, std::string_view digits, int d, std::string& out) {
  const auto n = static_cast<int>(digits.size());
  if (n - 1 - d < -4) return AppendGeneralForm(negative, digits, n - 1 - d, out);
  char buf[24];  // a sign, "0.", three zeros, 15 digits
  char* at = buf;
  if (negative) *at++ = '-';
  if (d == 0) {
    at = std::copy(digits.begin(), digits.end(), at);
  } else if (n > d) {
    at = std::copy(digits.begin(), digits.end() - d, at);
    *at++ = '.';
    at = std::copy(digits.end() - d, digits.end(), at);
  } else {
    *at++ = '0';
    *at++ = '.';
    at = std::fill_n(at, d - n, '0');
    at = std::copy(digits.begin(), digits.end(), at);
  }
  out.append(buf, at);
}

// Appends `number` as "%.15G" prints it, the slow way: exactly, whatever the digits.
void AppendPrecisely(double number, std::string& out) {
  char buf[64];
  // std::to_chars with a precision formats as printf does in the C locale.
  char* const end =
      std::to_chars(buf, buf + sizeof buf, number, std::chars_format::general, 15).ptr;
  for (char* c = buf; c != end; ++c) {
    if (*c == 'e') *c = 'E';
  }
  out.append(buf, end);
}

// Appends `magnitude` (> 0, normal) as "%.15G" prints it when it is a decimal
// c / 10^d of at most 15 digits: c, a whole number below 10^15, and 10^d are
// exact doubles, and c / 10^d rounds to `magnitude`. Then `magnitude` lies
// within half a unit in its last bit of that decimal, less than a quarter of
// half a unit of the 15th digit, so rounding to 15 digits gives the decimal.
// False when no such decimal exists (the text is left as it was).
bool AppendShortDecimal(bool negative, double magnitude, std::string& out) {
  static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  for (int d = 0; d <= 15; ++d) {
    const double scaled = magnitude * kPowers[d];
    if (scaled >= 1e15) return false;
    const auto whole = static_cast<std::uint64_t>(scaled + 0.5);  // rounded: scaled < 2^50
    if (whole == 0 || static_cast<double>(whole) / kPowers[d] != magnitude) continue;
    char digits[16];
    char* const end = digits + sizeof digits;
    char* first = end;
    for (std::uint64_t c = whole; c != 0; c /= 10) *--first = static_cast<char>('0' + c % 10);
    AppendDecimal(negative, std::string_view(first, static_cast<std::size_t>(end - first)), d, out);
    return true;
  }
  return false;
}

// "%.15G" rounds the exact value of `number` to 15 significant digits. The
// shortest digits that read back as `number` (at most 17) lie closer to it than
// half a unit of the 15th digit, and no other decimal of as few digits lies
// between them and it; so rounding those digits to 15 gives printf's answer,
// except when a 16th digit 5 is all that is cut off: that tie, and only it, is
// settled exactly the slow way. Subnormal numbers, whose units are too coarse
// for this, go the slow way too.
void AppendNumberText(double number, std::string& out) {
  if (std::isnan(number) || std::isinf(number)) {
    out.append("#NUM!");
    return;
  }
  if (number == 0) {  // also negative zero
    out.push_back('0');
    return;
  }
  if (std::fabs(number) < std::numeric_limits<double>::min()) return AppendPrecisely(number, out);
  if (AppendShortDecimal(number < 0, std::fabs(number), out)) return;
  char buf[32];  // "-d.dddddddddddddddde-308"
  const char* const end =
      std::to_chars(buf, buf + sizeof buf, number, std::chars_format::scientific).ptr;
  const bool negative = buf[0] == '-';
  const char* p = buf + (negative ? 1 : 0);
  char digits[20];
  int n = 0;
  for (; p != end && *p != 'e'; ++p) {
    if (*p != '.') digits[n++] = *p;
  }
  int exponent = 0;
  std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), end, exponent);
  if (n > 15) {
    if (n == 16 && digits[15] == '5') return AppendPrecisely(number, out);
    n = 15;
    if (digits[15] >= '5') {  // round up, carrying
      int i = 14;
      while (i >= 0 && digits[i] == '9') digits[i--] = '0';
      if (i >= 0) {
        ++digits[i];
      } else {
        digits[0] = '1';
        ++exponent;
      }
    }
  }
  while (n > 1 && digits[n - 1] == '0') --n;
  AppendGeneralForm(negative, std::string_view(digits, n), exponent, out);
}

void AppendDateText(double serial, DateSystem system, std::string& out) {
  if (!(serial >= 0)) return AppendNumberText(serial, out);
  const double rounded = std::floor(serial * 86400.0 + 0.5);
  // 9999-12-31 is day 2958465 in the 1900 system and 2957003 in the 1904 system; anything
  // past its last second is written as a number.
  const double last_day = system == DateSystem::k1900 ? 2958465.0 : 2957003.0;
  if (rounded > last_day * 86400.0 + 86399.0) return AppendNumberText(serial, out);
  const auto secs = static_cast<std::int64_t>(rounded);
  if (serial < 1) return AppendTime(secs % 86400, out);
  const std::int64_t time_of_day = secs % 86400;
  const std::chrono::year_month_day date = DateOfDay(secs / 86400, system);
  char buf[16];
  char* at = PutDigits(buf, static_cast<unsigned>(static_cast<int>(date.year())), 4);  // 1900-9999
  *at++ = '-';
  at = PutDigits(at, static_cast<unsigned>(date.month()), 2);
  *at++ = '-';
  at = PutDigits(at, static_cast<unsigned>(date.day()), 2);
  out.append(buf, at);
  if (time_of_day != 0) {
    out.push_back(' ');
    AppendTime(time_of_day, out);
  }
}

}  // namespace

void AppendCellText(const CellView& cell, std::string& out) {
  switch (cell.kind) {
    case CellKind::kEmpty:
      return;
    case CellKind::kText:
      out.append(cell.text);
      return;
    case CellKind::kNumber:
      return AppendNumberText(cell.number, out);
    case CellKind::kDate:
      return AppendDateText(cell.number, cell.date_system, out);
    case CellKind::kBoolean:
      out.append(cell.boolean ? "True" : "False");
      return;
    case CellKind::kError:
      out.append(CellErrorText(cell.error));
      return;
  }
}

std::string CellText(const CellView& cell) {
  std::string text;
  AppendCellText(cell, text);
  return text;
}

std::string NumberText(double number) {
  std::string text;
  AppendNumberText(number, text);
  return text;
}

std::string DateText(double serial, DateSystem system) {
  std::string text;
  AppendDateText(serial, system, text);
  return text;
}

}  // namespace zerova
