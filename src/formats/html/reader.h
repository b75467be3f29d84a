// formats/html/: web pages holding a table, as spreadsheet programs and reporting
// tools save them (often under an .xls name). libxml2's HTML parser, which takes
// real-world markup as browsers do, reads them as a stream of elements; here are
// the visible text of a cell, the layout of rows and spans, the first table's
// elements, and this entry.
//
// The HTML reader: the first <table> of the page is the sheet, its rows (<tr>,
// within <thead>, <tbody> or <tfoot> too) the sheet's rows in the order written,
// its cells (<td>, <th>) laid out as formats/html/table_layout.h says. Every cell
// is text, as shown (formats/html/visible_text.h): nothing is taken for a number
// or a date, so "007" stays "007". A table inside a cell adds its text to that
// cell, its cells parted by TAB and its rows by LF; a <caption>, scripts and
// styles add nothing. The page's encoding comes from a byte-order mark, else its
// <meta> charset, else UTF-8, or Windows-1252 when the bytes are not UTF-8.
#ifndef ZEROVA_FORMATS_HTML_READER_H_
#define ZEROVA_FORMATS_HTML_READER_H_

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "formats/containers/workbook_source.h"
#include "services/spreadsheet.h"
#include "services/workbook.h"

namespace zerova {

// True iff `prefix`, a file's first bytes, starts a web page: after an optional
// byte-order mark, white space, comments and an XML declaration, "<!DOCTYPE html",
// "<html", "<head", "<body", "<meta", "<title" or "<table", in any case.
bool LooksLikeHtml(std::span<const std::uint8_t> prefix) noexcept;

// Reads the first table of the page in `bytes`, named `file` in messages,
// reporting to `progress` (null: none). Throws ReadError when the page holds no
// table, Cancelled when `progress` answers a stop.
std::unique_ptr<Worksheet> ReadHtml(std::span<const std::uint8_t> bytes, const std::string& file,
                                    ReadProgress* progress = nullptr);

// Opens the page in `source` as a workbook of one sheet, named after the file,
// and reads its first table. Throws as ReadHtml does.
std::unique_ptr<Workbook> OpenHtml(const std::shared_ptr<WorkbookSource>& source);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_HTML_READER_H_
