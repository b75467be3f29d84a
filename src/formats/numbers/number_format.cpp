#include "formats/numbers/number_format.h"

#include <cctype>

namespace zerova {
namespace {

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool IsDateLetter(char c) {
  switch (Lower(c)) {
    case 'y':
    case 'm':
    case 'd':
    case 'h':
    case 's':
      return true;
    default:
      return false;
  }
}

// True iff the bracketed part (without its brackets) is an elapsed-time part:
// one or more of the same letter h, m or s.
bool IsElapsedPart(std::string_view part) {
  if (part.empty()) return false;
  const char first = Lower(part[0]);
  if (first != 'h' && first != 'm' && first != 's') return false;
  for (char c : part) {
    if (Lower(c) != first) return false;
  }
  return true;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

}  // namespace

bool IsDateFormatCode(std::string_view code) {
  if (EqualsIgnoringCase(code, "General")) return false;
  for (std::size_t i = 0; i < code.size(); ++i) {
    const char c = code[i];
    if (c == '"') {
      const std::size_t close = code.find('"', i + 1);
      if (close == std::string_view::npos) return false;
      i = close;
    } else if (c == '\\' || c == '_' || c == '*') {
      ++i;  // the next character is literal, a spacer width, or the fill
    } else if (c == '[') {
      const std::size_t close = code.find(']', i + 1);
      if (close == std::string_view::npos) return false;
      if (IsElapsedPart(code.substr(i + 1, close - i - 1))) return true;
      i = close;
    } else if (IsDateLetter(c)) {
      return true;
    }
  }
  return false;
}

bool IsBuiltInDateFormat(int id) {
  return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
         (id >= 50 && id <= 58);
}

bool DateFormats::IsDate(int id) const {
  const auto found = defined_.find(id);
  return found != defined_.end() ? found->second : IsBuiltInDateFormat(id);
}

std::vector<bool> DateFormats::OfCells(const std::vector<int>& cell_formats) const {
  std::vector<bool> dates;
  dates.reserve(cell_formats.size());
  for (int id : cell_formats) dates.push_back(IsDate(id));
  return dates;
}

}  // namespace zerova
