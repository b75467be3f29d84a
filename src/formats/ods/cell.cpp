#include "formats/ods/cell.h"

#include <charconv>

#include "formats/numbers/date_serial.h"
#include "formats/numbers/value_text.h"
#include "formats/ods/names.h"

namespace zerova {
namespace {

constexpr std::int64_t kMaxRepeat = std::int64_t{1} << 31;
constexpr std::uint64_t kMaxSpaces = std::uint64_t{64} << 20;

constexpr char kMalformedValue[] = "a cell's value is malformed";

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The attributes of a cell that decide its value.
struct CellAttributes {
  std::string value_type;  // office:value-type
  std::string ext_type;    // calcext:value-type
  std::string value, date_value, time_value, boolean_value, string_value;
  bool has_string_value = false;
  std::string repeat;
};

CellAttributes ReadAttributes(XmlStream& xml) {
  CellAttributes a;
  xml.ForEachAttribute([&](std::string_view ns, std::string_view name, std::string_view value) {
    if (ns == kOdsOfficeNamespace) {
      if (name == "value-type") a.value_type = value;
      if (name == "value") a.value = value;
      if (name == "date-value") a.date_value = value;
      if (name == "time-value") a.time_value = value;
      if (name == "boolean-value") a.boolean_value = value;
      if (name == "string-value") {
        a.string_value = value;
        a.has_string_value = true;
      }
    } else if (ns == kOdsTableNamespace && name == "number-columns-repeated") {
      a.repeat = value;
    } else if (ns == kOdsCalcExtNamespace && name == "value-type") {
      a.ext_type = value;
    }
  });
  return a;
}

// The value of a cell whose value type is neither text nor an error: it stands
// in the attributes alone (ODF 1.2, office:value-type and its value attributes).
PackedValue TypedValue(XmlStream& xml, const CellAttributes& a, DateSystem system) {
  const std::string& type = a.value_type;
  if (type == "float" || type == "percentage" || type == "currency") {
    double number = 0;
    if (!ParseNumberText(a.value, &number)) {
      xml.Damaged(kMalformedValue, "bad number \"" + a.value + "\"");
    }
    return PackedValue::Number(number);
  }
  if ((type == "date" && a.date_value.empty()) || (type == "time" && a.time_value.empty())) {
    return PackedValue::Empty();  // Gnumeric writes a date it cannot place so
  }
  if (type == "date") {
    double serial = 0;
    if (!SerialFromIsoDateTime(a.date_value, system, &serial)) {
      xml.Damaged(kMalformedValue, "bad date \"" + a.date_value + "\"");
    }
    return PackedValue::Date(serial, system);
  }
  if (type == "time") {
    double days = 0;
    if (!DaysFromIsoDuration(a.time_value, &days)) {
      xml.Damaged(kMalformedValue, "bad time \"" + a.time_value + "\"");
    }
    return PackedValue::Date(days, system);
  }
  if (type == "boolean") {
    bool value = false;
    if (!ParseBooleanText(a.boolean_value, &value)) {
      xml.Damaged(kMalformedValue, "bad boolean \"" + a.boolean_value + "\"");
    }
    return PackedValue::Boolean(value);
  }
  xml.Damaged(kMalformedValue, "unknown value type \"" + type + "\"");
}

}  // namespace

std::int64_t ParseOdsRepeat(XmlStream& xml, std::string_view text) {
  std::uint64_t count = 0;
  if (!ParseClampedCount(text, kMaxRepeat, &count) || count == 0) {
    xml.Damaged("a table is malformed", "bad repeat count \"" + std::string(text) + "\"");
  }
  return static_cast<std::int64_t>(count);
}

OdsCell OdsCellReader::Read(XmlStream& xml) {
  const CellAttributes a = ReadAttributes(xml);
  OdsCell cell;
  if (!a.repeat.empty()) cell.repeat = ParseOdsRepeat(xml, a.repeat);
  const std::string& type = a.value_type;
  if (a.ext_type == "error") {
    ReadParagraphs(xml);
    CellError error;
    if (!CellErrorFromText(text_, &error)) {
      xml.Damaged(kMalformedValue, "unknown error value \"" + text_ + "\"");
    }
    cell.value = PackedValue::Error(error);
  } else if (type == "string" && a.has_string_value) {
    xml.SkipElement();
    cell.value = store_.Text(a.string_value);
  } else if (type == "string" || type.empty()) {
    ReadParagraphs(xml);
    cell.value = store_.Text(text_);
  } else {
    xml.SkipElement();
    cell.value = TypedValue(xml, a, system_);
  }
  return cell;
}

void OdsCellReader::ReadParagraphs(XmlStream& xml) {
  std::string& text = text_;
  text.clear();
  bool first = true;
  for (ElementWalk walk(xml); walk.Next();) {
    if (xml.Namespace() == kOdsTextNamespace &&
        (xml.LocalName() == "p" || xml.LocalName() == "h")) {
      if (!first) text.push_back('\n');
      first = false;
      AppendParagraph(xml, text);
    } else {
      xml.SkipElement();  // office:annotation, draw:frame, ...
    }
  }
}

void OdsCellReader::AppendParagraph(XmlStream& xml, std::string& text) {
  // White space in the XML text collapses to one space, and none at the paragraph's start.
  bool after_space = true;
  for (ElementWalk walk(xml); walk.NextOrText();) {
    if (xml.node() == XmlStream::Node::kText) {
      for (char c : xml.Text()) {
        if (!IsSpace(c)) {
          text.push_back(c);
          after_space = false;
        } else if (!after_space) {
          text.push_back(' ');
          after_space = true;
        }
      }
      continue;
    }
    const std::string_view name = xml.LocalName();
    if (xml.Namespace() != kOdsTextNamespace) {
      xml.SkipElement();  // annotations, frames
    } else if (name == "s") {
      std::string count_text;
      std::int64_t count = 1;
      if (xml.Attribute(kOdsTextNamespace, "c", &count_text))
        count = ParseOdsRepeat(xml, count_text);
      spaces_ += static_cast<std::uint64_t>(count);
      if (spaces_ > kMaxSpaces) xml.Fail("too many spaces (text:s)");
      text.append(static_cast<std::size_t>(count), ' ');
      after_space = false;
      xml.SkipElement();
    } else if (name == "tab" || name == "line-break") {
      text.push_back(name == "tab" ? '\t' : '\n');
      after_space = false;
      xml.SkipElement();
    } else if (name == "note" || name == "ruby-text" || name == "bookmark-ref") {
      xml.SkipElement();
    }
  }
}

}  // namespace zerova
