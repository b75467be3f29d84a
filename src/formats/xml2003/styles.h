// The <Styles> of an XML Spreadsheet 2003 workbook, reduced to what the conversion
// needs: which styles show numbers as dates or times.
#ifndef ZEROVA_FORMATS_XML2003_STYLES_H_
#define ZEROVA_FORMATS_XML2003_STYLES_H_

#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "formats/xml/xml_stream.h"

namespace zerova {

// True iff the ss:Format of a <NumberFormat> shows a date or time. Excel's named
// formats are matched first, ignoring case: "General Date", "Long Date", "Medium
// Date", "Short Date", "Long Time", "Medium Time" and "Short Time" are; "General",
// "General Number", "Fixed", "Standard", "Percent", "Scientific", "Currency",
// "Euro Currency", "Yes/No", "True/False" and "On/Off" are not. Any other text is
// a format code, judged by IsDateFormatCode (formats/numbers/number_format.h).
bool IsXml2003DateFormat(std::string_view format);

class Xml2003Styles {
 public:
  // Reads the <Styles> element the stream is on, through its end. A style without
  // a <NumberFormat> takes its ss:Parent's, to any depth.
  // Throws ReadError when the XML is malformed.
  void Read(XmlStream& xml);

  // True iff the style `id` shows numbers as dates; an unknown id does not.
  bool IsDate(const std::string& id) const { return date_styles_.contains(id); }

 private:
  struct Style {
    std::string parent;
    bool has_format = false;
    std::string format;
  };

  std::unordered_set<std::string> date_styles_;
};

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XML2003_STYLES_H_
