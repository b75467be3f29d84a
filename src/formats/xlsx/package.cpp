#include "formats/xlsx/package.h"

namespace zerova {

bool IsSpreadsheetNamespace(std::string_view ns) {
  return ns == "http://schemas.openxmlformats.org/spreadsheetml/2006/main" ||
         ns == "http://purl.oclc.org/ooxml/spreadsheetml/main";
}

bool IsRelationshipIdNamespace(std::string_view ns) {
  return ns == "http://schemas.openxmlformats.org/officeDocument/2006/relationships" ||
         ns == "http://purl.oclc.org/ooxml/officeDocument/relationships";
}

}  // namespace zerova
