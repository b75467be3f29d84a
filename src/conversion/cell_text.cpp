#include "conversion/cell_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "services/civil_date.h"

namespace zerova {
namespace {

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

std::string CellText(const CellView& value) {
  switch (value.kind) {
    case CellKind::kEmpty:
      return "";
    case CellKind::kText:
      return std::string(value.text);
    case CellKind::kNumber:
      return NumberText(value.number);
    case CellKind::kDate:
      return DateText(value.number, value.date_system);
    case CellKind::kBoolean:
      return value.boolean ? "True" : "False";
    case CellKind::kError:
      return CellErrorText(value.error);
  }
  return "";
}

}  // namespace zerova
