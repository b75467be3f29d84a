#include "formats/numbers/date_serial.h"

#include <charconv>
#include <chrono>
#include <cstdint>
#include <optional>

#include "formats/numbers/value_text.h"

namespace zerova {
namespace {

// The Gregorian calendar repeats itself every 400 years, 146,097 days.
constexpr std::int64_t kYearsPerCycle = 400;
constexpr std::int64_t kDaysPerCycle = 146097;

// The day count from 1970-01-01 of the date `y`-`m`-`d`, or nullopt when there
// is no such date. Years past std::chrono::year's range (+-32,767) are brought
// into it by whole cycles.
std::optional<std::int64_t> DaysOfDate(std::int64_t y, int m, int d) {
  using std::chrono::sys_days, std::chrono::year_month_day;
  const std::int64_t cycles = (y >= 0 ? y : y - (kYearsPerCycle - 1)) / kYearsPerCycle;
  const year_month_day date(std::chrono::year(static_cast<int>(y - cycles * kYearsPerCycle)),
                            std::chrono::month(static_cast<unsigned>(m)),
                            std::chrono::day(static_cast<unsigned>(d)));
  if (!date.ok()) return std::nullopt;
  return sys_days(date).time_since_epoch().count() + cycles * kDaysPerCycle;
}

// The day count from 1970-01-01 of a date within std::chrono::year's range.
constexpr std::int64_t DaysOf(int y, unsigned m, unsigned d) {
  return std::chrono::sys_days(std::chrono::year(y) / m / d).time_since_epoch().count();
}

// Reads exactly `width` decimal digits at `pos`. REQUIRES: width <= 9.
bool Digits(std::string_view text, std::size_t& pos, std::size_t width, int* value) {
  std::uint64_t v = 0;
  if (pos + width > text.size() || !ParseCountText(text.substr(pos, width), &v)) return false;
  pos += width;
  *value = static_cast<int>(v);
  return true;
}

bool Expect(std::string_view text, std::size_t& pos, char c) {
  if (pos >= text.size() || text[pos] != c) return false;
  ++pos;
  return true;
}

// Reads "hh:mm[:ss[.fff]]" at `pos` as seconds.
bool TimeOfDay(std::string_view text, std::size_t& pos, double* seconds) {
  int h = 0, m = 0, s = 0;
  if (!Digits(text, pos, 2, &h) || !Expect(text, pos, ':') || !Digits(text, pos, 2, &m)) {
    return false;
  }
  double fraction = 0;
  if (pos < text.size() && text[pos] == ':') {
    ++pos;
    if (!Digits(text, pos, 2, &s)) return false;
    if (pos < text.size() && (text[pos] == '.' || text[pos] == ',')) {
      double scale = 0.1;
      const std::size_t start = ++pos;
      for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        fraction += (text[pos] - '0') * scale;
        scale /= 10;
      }
      if (pos == start) return false;
    }
  }
  if (h > 24 || m > 59 || s > 60 || (h == 24 && (m > 0 || s > 0 || fraction > 0))) return false;
  *seconds = h * 3600.0 + m * 60.0 + s + fraction;
  return true;
}

// Accepts the end of the text, "Z", or an offset "+hh:mm" / "-hh:mm" / "+hhmm" / "+hh".
bool ZoneAndEnd(std::string_view text, std::size_t pos) {
  if (pos == text.size()) return true;
  if (text[pos] == 'Z') return pos + 1 == text.size();
  if (text[pos] != '+' && text[pos] != '-') return false;
  const std::string_view zone = text.substr(pos + 1);
  if (zone.size() != 2 && zone.size() != 4 && (zone.size() != 5 || zone[2] != ':')) return false;
  for (std::size_t i = 0; i < zone.size(); ++i) {
    if (i != 2 && (zone[i] < '0' || zone[i] > '9')) return false;
  }
  return true;
}

}  // namespace

bool SerialFromIsoDateTime(std::string_view text, DateSystem system, double* serial) {
  std::size_t pos = 0;
  double seconds = 0;
  const bool time_alone = text.size() > 2 && (text[0] == 'T' || text[2] == ':');
  if (time_alone) {
    if (text[0] == 'T') ++pos;
    if (!TimeOfDay(text, pos, &seconds) || !ZoneAndEnd(text, pos)) return false;
    *serial = seconds / 86400.0;
    return true;
  }
  const bool bc = Expect(text, pos, '-');
  std::size_t year_digits = 0;
  while (pos + year_digits < text.size() && year_digits < 7 && text[pos + year_digits] >= '0' &&
         text[pos + year_digits] <= '9') {
    ++year_digits;
  }
  int y = 0, m = 0, d = 0;
  if (year_digits < 4 || !Digits(text, pos, year_digits, &y)) return false;
  if (bc) y = -y;
  if (!Expect(text, pos, '-') || !Digits(text, pos, 2, &m) || !Expect(text, pos, '-') ||
      !Digits(text, pos, 2, &d)) {
    return false;
  }
  const std::optional<std::int64_t> day = DaysOfDate(y, m, d);
  if (!day) return false;
  if (pos < text.size() && (text[pos] == 'T' || text[pos] == ' ')) {
    ++pos;
    if (!TimeOfDay(text, pos, &seconds)) return false;
  }
  if (!ZoneAndEnd(text, pos)) return false;

  std::int64_t count;
  if (system == DateSystem::k1904) {
    count = *day - DaysOf(1904, 1, 1);
  } else {
    count = *day - DaysOf(1899, 12, 30);
    // Excel counts the fictional 1900-02-29, so its earlier days are one less.
    if (*day < DaysOf(1900, 3, 1)) --count;
  }
  *serial = static_cast<double>(count) + seconds / 86400.0;
  return true;
}

bool DaysFromIsoDuration(std::string_view text, double* days) {
  std::size_t pos = 0;
  const bool negative = pos < text.size() && text[pos] == '-';
  if (negative) ++pos;
  if (!Expect(text, pos, 'P')) return false;
  double total = 0;
  bool in_time = false;
  bool any = false;
  while (pos < text.size()) {
    if (text[pos] == 'T' && !in_time) {
      in_time = true;
      ++pos;
      continue;
    }
    double amount = 0;
    const auto [end, ec] = std::from_chars(text.data() + pos, text.data() + text.size(), amount,
                                           std::chars_format::fixed);
    if (ec != std::errc() || end == text.data() + text.size() || !(amount >= 0)) return false;
    pos = static_cast<std::size_t>(end - text.data());
    const char unit = text[pos++];
    if (!in_time && unit == 'D') {
      total += amount;
    } else if (in_time && unit == 'H') {
      total += amount / 24;
    } else if (in_time && unit == 'M') {
      total += amount / 1440;
    } else if (in_time && unit == 'S') {
      total += amount / 86400;
    } else {
      return false;
    }
    any = true;
  }
  if (!any) return false;
  *days = negative ? -total : total;
  return true;
}

}  // namespace zerova
