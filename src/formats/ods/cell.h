// One cell of an .ods table (ODF 1.2 table:table-cell or table:covered-table-cell):
// its value and how many columns it repeats across.
//
// float, percentage and currency cells are numbers; date and time cells are date
// serials in the workbook's date system (a time of 36 hours is 1.5). A date's
// serial is its count of days from the table's null date, as ODF defines a date's
// value, so days before 1900-03-01 keep the numbers LibreOffice gives them; a date
// or time attribute left empty (Gnumeric's way with 1900-02-29) is an empty cell. Boolean
// cells are booleans; string cells are their paragraphs' text joined by LF, with
// text:s, text:tab and text:line-break spelled out and other white space collapsed
// as ODF lays down. LibreOffice marks error results with calcext:value-type="error".
#ifndef ZEROVA_FORMATS_ODS_CELL_H_
#define ZEROVA_FORMATS_ODS_CELL_H_

#include <cstdint>
#include <string>

#include "formats/sheet/packed_value.h"
#include "formats/sheet/sheet_store.h"
#include "formats/xml/xml_stream.h"
#include "services/cell_value.h"

namespace zerova {

struct OdsCell {
  PackedValue value;        // its text, if any, in the store the reader was given
  std::int64_t repeat = 1;  // table:number-columns-repeated, at most 2^31
};

class OdsCellReader {
 public:
  // Puts the text of the cells it reads in `store`'s string table.
  OdsCellReader(DateSystem system, SheetStore& store) : system_(system), store_(store) {}

  // Reads the cell whose start element the stream is on, through its end.
  // Throws Damaged naming the part when the repeat count or a value is bad or an
  // error text is not one of the seven; ReadError when the text:s spaces of the
  // whole table pass 64 MiB.
  OdsCell Read(XmlStream& xml);

 private:
  // Appends the text of the text:p or text:h the stream is on, through its end.
  void AppendParagraph(XmlStream& xml, std::string& text);
  // Reads the paragraphs of the cell the stream is on, joined by LF, through its
  // end, into text_.
  void ReadParagraphs(XmlStream& xml);

  DateSystem system_;
  SheetStore& store_;
  std::string text_;          // the cell's text, its buffer kept from cell to cell
  std::uint64_t spaces_ = 0;  // spaces text:s has made so far
};

// Parses a repeat count attribute: a positive decimal, clamped to 2^31.
// Throws ReadError naming the part for anything else.
std::int64_t ParseOdsRepeat(XmlStream& xml, std::string_view text);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_ODS_CELL_H_
