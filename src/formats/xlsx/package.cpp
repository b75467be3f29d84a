#include "formats/xlsx/package.h"

namespace zerova {

bool IsSpreadsheetNamespace(std::string_view ns) {
  return ns == kXlsxNamespace || ns == kXlsxStrictNamespace;
}

bool IsRelationshipIdNamespace(std::string_view ns) {
  return ns == "http://schemas.openxmlformats.org/officeDocument/2006/relationships" ||
         ns == "http://purl.oclc.org/ooxml/officeDocument/relationships";
}

}  // namespace zerova
