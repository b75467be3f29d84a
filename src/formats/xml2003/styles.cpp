#include "formats/xml2003/styles.h"

#include <strings.h>

#include <array>

#include "formats/numbers/number_format.h"
#include "formats/xml2003/names.h"

namespace zerova {
namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && ::strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// A chain of ss:Parent longer than this is a loop, or a file not worth following.
constexpr int kMaxParents = 64;

}  // namespace

bool IsXml2003DateFormat(std::string_view format) {
  static constexpr std::array<std::string_view, 7> kDates = {
      "General Date", "Long Date",   "Medium Date", "Short Date",
      "Long Time",    "Medium Time", "Short Time"};
  static constexpr std::array<std::string_view, 11> kNumbers = {
      "General",  "General Number", "Fixed",  "Standard",   "Percent", "Scientific",
      "Currency", "Euro Currency",  "Yes/No", "True/False", "On/Off"};
  for (std::string_view name : kDates) {
    if (EqualsIgnoringCase(format, name)) return true;
  }
  for (std::string_view name : kNumbers) {
    if (EqualsIgnoringCase(format, name)) return false;
  }
  return IsDateFormatCode(format);
}

void Xml2003Styles::Read(XmlStream& xml) {
  std::unordered_map<std::string, Style> styles;
  std::string id;
  for (ElementWalk walk(xml); walk.Next();) {
    if (xml.Namespace() != kSpreadsheetNamespace) continue;
    if (walk.Level() == 1 && xml.LocalName() == "Style") {
      id.clear();
      xml.Attribute(kSpreadsheetNamespace, "ID", &id);
      Style& style = styles[id];
      xml.Attribute(kSpreadsheetNamespace, "Parent", &style.parent);
    } else if (walk.Level() == 2 && xml.LocalName() == "NumberFormat") {
      Style& style = styles[id];
      style.has_format = true;
      style.format.clear();
      xml.Attribute(kSpreadsheetNamespace, "Format", &style.format);
    }
  }
  for (const auto& [style_id, style] : styles) {
    const Style* s = &style;
    for (int hops = 0; !s->has_format && !s->parent.empty() && hops < kMaxParents; ++hops) {
      const auto parent = styles.find(s->parent);
      if (parent == styles.end()) break;
      s = &parent->second;
    }
    if (s->has_format && IsXml2003DateFormat(s->format)) date_styles_.insert(style_id);
  }
}

}  // namespace zerova
