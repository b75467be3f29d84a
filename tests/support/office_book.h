// Office workbooks built in memory for the reader tests: .xlsx and .ods packages
// around given sheet XML, and the reader's outcome on any workbook bytes as one line.
#ifndef ZEROVA_TESTS_SUPPORT_OFFICE_BOOK_H_
#define ZEROVA_TESTS_SUPPORT_OFFICE_BOOK_H_

#include <cstdint>
#include <string>
#include <vector>

#include "support/zip_builder.h"

namespace zerova::test {

inline constexpr const char* kOneSheet = "<sheets><sheet r:id=\"rId1\"/></sheets>";
inline constexpr const char* kNotOurs = "not a spreadsheet file this program reads";

// The bytes of `text`, for the readers of text formats.
inline std::vector<std::uint8_t> TextBytes(const std::string& text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

// A worksheet part whose <sheetData> holds `rows`.
std::string Sheet(const std::string& rows);

// An .xlsx whose first sheet holds `rows`; its second is a chartsheet. Without
// `shared`, the package has neither shared strings nor styles.
ZipMembers Xlsx(const std::string& rows, const std::string& workbook = kOneSheet,
                const char* shared = "<si><t>東京</t></si><si><t/></si>");

// An .ods whose one table holds `rows`.
ZipMembers Ods(const std::string& rows);

// An XML Spreadsheet 2003 workbook whose worksheets, all named "S", hold
// `tables` (each a <Table>'s content), after `head` (ExcelWorkbook, Styles).
std::vector<std::uint8_t> Xml2003(const std::vector<std::string>& tables,
                                  const std::string& head = "");

// `parts` with the member at `path` given `contents`, or dropped when it is null.
ZipMembers With(ZipMembers parts, const std::string& path, const char* contents);

// What the reader makes of `bytes` named `name` (the content picks the reader; the
// name only for plain text): "refused: <message>", or the non-empty cells of the
// first 6 rows and 28 columns and the last row and column (and one past each) as
// "A1=text|B1=text".
std::string Outcome(const std::vector<std::uint8_t>& bytes, const std::string& name = "book.xls");

struct Case {
  const char* name;
  std::vector<std::uint8_t> bytes;
  // The Outcome; or "refused: " and a part of the one-line message; or "damaged: "
  // and how the refusal of a damaged file starts after "the file is damaged: ".
  std::string expected;
};

// Expects each case's Outcome: exactly; for a refusal a one-line message naming
// book.xls and holding the expected part; for a damaged file a one-line message
// "book.xls: the file is damaged: " that goes on as expected.
void Check(const std::vector<Case>& cases);

}  // namespace zerova::test

#endif  // ZEROVA_TESTS_SUPPORT_OFFICE_BOOK_H_
