// The OpenDocument namespaces (ODF 1.2) the .ods reader matches elements and
// attributes by.
#ifndef ZEROVA_FORMATS_ODS_NAMES_H_
#define ZEROVA_FORMATS_ODS_NAMES_H_

#include <string_view>

namespace zerova {

inline constexpr std::string_view kOdsMimeType = "application/vnd.oasis.opendocument.spreadsheet";

inline constexpr std::string_view kOdsOfficeNamespace =
    "urn:oasis:names:tc:opendocument:xmlns:office:1.0";
inline constexpr std::string_view kOdsTableNamespace =
    "urn:oasis:names:tc:opendocument:xmlns:table:1.0";
inline constexpr std::string_view kOdsTextNamespace =
    "urn:oasis:names:tc:opendocument:xmlns:text:1.0";
inline constexpr std::string_view kOdsStyleNamespace =
    "urn:oasis:names:tc:opendocument:xmlns:style:1.0";
inline constexpr std::string_view kOdsConfigNamespace =
    "urn:oasis:names:tc:opendocument:xmlns:config:1.0";
// LibreOffice's extension namespace; its value-type attribute marks error cells.
inline constexpr std::string_view kOdsCalcExtNamespace =
    "urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0";

}  // namespace zerova

#endif  // ZEROVA_FORMATS_ODS_NAMES_H_
