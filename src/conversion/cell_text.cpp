#include "conversion/cell_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace zerova {
namespace {

// Days since 1970-01-01 of the proleptic Gregorian date y-m-d (H. Hinnant's algorithm).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

struct CivilDate {
  std::int64_t year;
  unsigned month;
  unsigned day;
};

CivilDate CivilFromDays(std::int64_t z) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return {y + (m <= 2), m, d};
}

// The calendar date of day number `day` (>= 1) in `system`.
CivilDate DateOfDay(std::int64_t day, DateSystem system) {
  if (system == DateSystem::k1904) return CivilFromDays(DaysFromCivil(1904, 1, 1) + day);
  // The 1900 system counts 1900-02-29, which never was: day 60 is that day, and
  // every later day is one less than its count from 1899-12-31.
  if (day == 60) return {1900, 2, 29};
  const std::int64_t base = DaysFromCivil(1899, 12, 31);
  return CivilFromDays(base + (day < 60 ? day : day - 1));
}

void AppendTime(std::int64_t seconds_of_day, std::string& out) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", static_cast<int>(seconds_of_day / 3600),
                static_cast<int>(seconds_of_day / 60 % 60), static_cast<int>(seconds_of_day % 60));
  out.append(buf);
}

}  // namespace

std::string NumberText(double number) {
  if (std::isnan(number) || std::isinf(number)) return "#NUM!";
  if (number == 0) return "0";  // also negative zero
  char buf[64];
  // std::to_chars with a precision formats as printf does in the C locale.
  const auto result = std::to_chars(buf, buf + sizeof buf, number, std::chars_format::general, 15);
  std::string text(buf, result.ptr);
  for (char& c : text) {
    if (c == 'e') c = 'E';
  }
  return text;
}

std::string DateText(double serial, DateSystem system) {
  if (!(serial >= 0)) return NumberText(serial);
  const double rounded = std::floor(serial * 86400.0 + 0.5);
  // 9999-12-31 is day 2958465 in the 1900 system and 2957003 in the 1904 system; anything
  // past its last second is written as a number.
  const double last_day = system == DateSystem::k1900 ? 2958465.0 : 2957003.0;
  if (rounded > last_day * 86400.0 + 86399.0) return NumberText(serial);
  const auto secs = static_cast<std::int64_t>(rounded);
  std::string text;
  if (serial < 1) {
    AppendTime(secs % 86400, text);
    return text;
  }
  const std::int64_t day = secs / 86400;
  const std::int64_t time_of_day = secs % 86400;
  const CivilDate date = DateOfDay(day, system);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04lld-%02u-%02u", static_cast<long long>(date.year), date.month,
                date.day);
  text.append(buf);
  if (time_of_day != 0) {
    text.push_back(' ');
    AppendTime(time_of_day, text);
  }
  return text;
}

std::string CellText(const CellValue& value) {
  switch (value.kind) {
    case CellValue::Kind::kEmpty: return "";
    case CellValue::Kind::kText: return value.text;
    case CellValue::Kind::kNumber: return NumberText(value.number);
    case CellValue::Kind::kDate: return DateText(value.number, value.date_system);
    case CellValue::Kind::kBoolean: return value.boolean ? "True" : "False";
    case CellValue::Kind::kError: return CellErrorText(value.error);
  }
  return "";
}

}  // namespace zerova
