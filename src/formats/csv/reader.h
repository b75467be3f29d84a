// formats/csv/: delimited text, CSV and tab-separated, as web applications and
// reporting tools write it (often under an .xls name). Here are the text's
// encoding, its records and delimiter, and this entry.
//
// The delimited-text reader: each record is a row and each field a cell, holding
// its text as written: nothing is taken for a number or a date, so "007" stays
// "007", and spaces around a field are kept. The encoding is judged as
// formats/csv/text_encoding.h says, the delimiter from the first 64 KiB of text
// as formats/csv/delimited_text.h says. Rows past 1,048,576 and fields past the
// 16,384th of a record are dropped, and the sheet notes it when one of them
// holds text.
#ifndef ZEROVA_FORMATS_CSV_READER_H_
#define ZEROVA_FORMATS_CSV_READER_H_

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "formats/containers/workbook_source.h"
#include "services/spreadsheet.h"
#include "services/workbook.h"

namespace zerova {

// True iff `prefix`, a file's first bytes, is plain text: once decoded, it does
// not open with markup ('<'), and holds no NUL and hardly any other control
// character (fewer than one in 64 besides TAB, CR and LF).
bool LooksLikePlainText(std::span<const std::uint8_t> prefix) noexcept;

// True iff `prefix` looks like delimited text: plain text whose records a
// delimiter parts consistently. Call it only for files that are none of the
// other formats.
bool LooksLikeDelimitedText(std::span<const std::uint8_t> prefix) noexcept;

// True iff `name` ends in .csv, .tsv or .txt, in any case, and `prefix` is plain
// text: such a file is read as a table whatever its shape (one column, one line,
// rows of different lengths). Call it only for files that are none of the other
// formats.
bool LooksLikeNamedText(std::span<const std::uint8_t> prefix, std::string_view name) noexcept;

// The end of the refusal of plain text that is not read as a table: "plain
// text, but not a table; give it a name ending in .csv, .tsv or .txt to read it
// as one".
std::string PlainTextRefusal();

// Reads the delimited text in `bytes` as a sheet; `file` names it. Never
// refuses: any bytes read as some text. When no delimiter parts the records
// consistently, a file named .tsv or .txt is read as tab-separated (as Excel
// saves "Text (Tab delimited)"), any other as comma-separated; one column stays
// one. Reports to `progress` (null: none); throws Cancelled when it answers a stop.
std::unique_ptr<Worksheet> ReadDelimitedText(std::span<const std::uint8_t> bytes,
                                             const std::string& file,
                                             ReadProgress* progress = nullptr);

// Opens the delimited text in `source` as a workbook of one sheet, named after
// the file, and reads it.
std::unique_ptr<Workbook> OpenDelimitedText(const std::shared_ptr<WorkbookSource>& source);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_CSV_READER_H_
