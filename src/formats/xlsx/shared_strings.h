// Text in SpreadsheetML: shared strings, inline strings and the _xHHHH_ escapes.
//
// A string item (<si>, or a cell's <is>) is either one <t> or a list of rich
// text runs <r><t>..</t></r>; its text is the runs' text joined. Phonetic runs
// (<rPh>) and phonetic properties are left out.
#ifndef ZEROVA_FORMATS_XLSX_SHARED_STRINGS_H_
#define ZEROVA_FORMATS_XLSX_SHARED_STRINGS_H_

#include <string>

#include "formats/containers/zip_archive.h"
#include "formats/sheet/string_table.h"
#include "formats/xml/xml_stream.h"

namespace zerova {

// Replaces each escape "_xHHHH_" (a UTF-16 code unit, hex in either case) in
// `text` with the character it stands for, as UTF-8; a surrogate pair written as
// two escapes becomes one character, a lone surrogate U+FFFD.
void DecodeXlsxEscapes(std::string& text);

// Reads the string item whose start element the stream is on (<si> or <is>)
// through its end and returns its text, escapes decoded.
// REQUIRES: xml.node() == kStart.
std::string ReadXlsxStringItem(XmlStream& xml);

// Reads the shared-string table in `part`: one entry per <si>, in order.
// Throws ReadError when the part is missing or malformed.
StringTable ReadXlsxSharedStrings(ZipArchive& zip, const std::string& part);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLSX_SHARED_STRINGS_H_
