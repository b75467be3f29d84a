// The registry: every format with its name, file patterns, a sniff of a file's
// first bytes and its open function. Format detection, the window's file dialog
// filter, the help's list of formats and the message for a file of no known
// format are all made from it. Adding a format is its folder, its library, one
// line of the table, and the fuzz target, fixtures and words that go with it:
// docs/hacking.md, "Recipe: a new format", lists each place.
#ifndef ZEROVA_FORMATS_REGISTRY_H_
#define ZEROVA_FORMATS_REGISTRY_H_

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "formats/containers/workbook_source.h"
#include "services/password_source.h"
#include "services/spreadsheet.h"
#include "services/workbook.h"

namespace zerova {

struct Format {
  // As messages and the help list the format (".xlsx, .xlsm"); null for a
  // format that is only a wrapper of others (an encrypted package).
  const char* listed_as;
  // What the help says of it ("Office Open XML workbooks"), after its patterns.
  const char* description;
  // The file dialog's patterns, ';' between them ("*.xlsx;*.xlsm").
  const char* patterns;
  // True iff `head`, a file's first bytes (WorkbookSource::kHeadBytes, or all
  // of a shorter file), may be a file of this format. Never throws.
  bool (*sniff)(std::span<const std::uint8_t> head) noexcept;
  // True iff a file that `sniff` refused is of this format all the same, by its
  // `head` and its `name` (plain text named .csv); null for a format told by
  // content alone. Never throws.
  bool (*sniff_named)(std::span<const std::uint8_t> head, std::string_view name) noexcept;
  // Opens a file whose head the sniff accepted; null when the rest of it shows
  // it is not of this format after all (a zip that is another kind of package).
  // Throws ReadError naming the file when it is of this format but cannot be
  // read, Cancelled when the source's progress answers a stop.
  std::unique_ptr<Workbook> (*open)(const std::shared_ptr<WorkbookSource>& source);
};

// The formats, in the order they are tried on a file.
std::span<const Format> Formats();

// Opens the workbook in `source` with the first format, in table order, whose
// sniff (or sniff_named) accepts its head and whose open does not decline it.
// Throws ReadError naming the file when it is empty or of no format here
// (NotASpreadsheet, which says what to do with plain text), and as the format's
// open does.
std::unique_ptr<Workbook> OpenWorkbook(const std::shared_ptr<WorkbookSource>& source);

// Throws ReadError naming `name`, as OpenWorkbook refuses such a file, when
// `head` (a file's first WorkbookSource::kHeadBytes, or all of a shorter one)
// is empty or no format may read it: a stream is judged so before more of it is
// read.
void CheckHead(std::span<const std::uint8_t> head, const std::string& name);

// "not a spreadsheet file this program reads (.xls, .xlsx, .xlsm, ..., or CSV or
// tab-separated text)"; for `head` that is plain text, "not a spreadsheet file
// this program reads: plain text, but not a table; give it a name ending in
// .csv, .tsv or .txt to read it as one".
std::string NotASpreadsheet(std::span<const std::uint8_t> head = {});

// The file dialog's filter, entries parted by '|': "(Excel File)|*.xls", then
// "(All Workbooks)" with every format's patterns, then "(All Files)|*".
std::string FileDialogFilter();

// The help's list of formats: a line each, the names its files usually have, then
// what it is: "  .xlsx, .xlsm    Office Open XML workbooks", within 80 columns.
std::string FormatHelp();

// The spreadsheet service over this registry: opens a file, or bytes in memory,
// with the format its content shows. A password-protected workbook is opened
// with Excel's default password when that fits, else with a password from
// `passwords` (null: none to ask), which must outlive the service.
std::unique_ptr<SpreadsheetService> NewSpreadsheetService(PasswordSource* passwords = nullptr);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_REGISTRY_H_
