// The .xlsx package's namespaces: SpreadsheetML's own and that of r:id
// attributes. Relationships and part paths are formats/containers/opc_package.h.
#ifndef ZEROVA_FORMATS_XLSX_PACKAGE_H_
#define ZEROVA_FORMATS_XLSX_PACKAGE_H_

#include <string_view>

#include "formats/containers/opc_package.h"

namespace zerova {

// SpreadsheetML's main namespace, transitional and strict.
inline constexpr std::string_view kXlsxNamespace =
    "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
inline constexpr std::string_view kXlsxStrictNamespace =
    "http://purl.oclc.org/ooxml/spreadsheetml/main";

// True iff `ns` is SpreadsheetML's main namespace, transitional or strict.
inline bool IsSpreadsheetNamespace(std::string_view ns) {
  return ns == kXlsxNamespace || ns == kXlsxStrictNamespace;
}

// True iff `ns` is the namespace of r:id attributes, transitional or strict.
inline bool IsRelationshipIdNamespace(std::string_view ns) {
  return ns == "http://schemas.openxmlformats.org/officeDocument/2006/relationships" ||
         ns == "http://purl.oclc.org/ooxml/officeDocument/relationships";
}

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLSX_PACKAGE_H_
