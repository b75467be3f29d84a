// formats/xml2003/: Excel's XML Spreadsheet 2003 format (Excel 2002-2003 "XML
// Spreadsheet", also written by LibreOffice and many reporting tools): one XML
// document, streamed through formats/xml's XmlStream. Here are the namespaces,
// the styles, one worksheet, and this entry.
//
// The XML Spreadsheet 2003 reader: its worksheets; the active one is the one
// ExcelWorkbook's ActiveSheet names (counting from 0), else the first; Date1904
// there picks the 1904 date system. Excel writes ExcelWorkbook and Styles ahead of the
// worksheets, and they are read only there.
#ifndef ZEROVA_FORMATS_XML2003_READER_H_
#define ZEROVA_FORMATS_XML2003_READER_H_

#include <cstdint>
#include <memory>
#include <span>

#include "formats/containers/workbook_source.h"
#include "services/workbook.h"

namespace zerova {

// True iff `prefix`, a file's first bytes, starts an XML document whose root is
// Workbook in the urn:schemas-microsoft-com:office:spreadsheet namespace.
bool LooksLikeXml2003(std::span<const std::uint8_t> prefix) noexcept;

// Opens the workbook in `source` and lists its worksheets (by ss:Name, hidden or
// very hidden as their WorksheetOptions' Visible says); the active one is
// ActiveSheet's, or the first when it names none past the last.
// Throws ReadError naming the file when the XML is malformed or declares a
// document type, the root is not an XML Spreadsheet workbook, it has no
// worksheet, or a cell of the active worksheet is bad (formats/xml2003/worksheet.h).
std::unique_ptr<Workbook> OpenXml2003(const std::shared_ptr<WorkbookSource>& source);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XML2003_READER_H_
