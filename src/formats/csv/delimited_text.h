// Delimited text (RFC 4180): records of fields, parted by a delimiter and ended
// by a line break, and the choice of that delimiter by content.
//
// As Excel reads such text: a field that starts with a double quote runs to the
// next lone double quote ("" inside stands for one, and line breaks and
// delimiters are part of the field); text after the closing quote is kept as it
// is; a quote inside an unquoted field is an ordinary character; CR LF, LF and a
// lone CR each end a record; a quote left open runs to the end of the text.
#ifndef ZEROVA_FORMATS_CSV_DELIMITED_TEXT_H_
#define ZEROVA_FORMATS_CSV_DELIMITED_TEXT_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace zerova {

class DelimitedText {
 public:
  // Reads `text`, which must outlive the reader, with `delimiter` between fields.
  DelimitedText(std::string_view text, char delimiter) : text_(text), delimiter_(delimiter) {}

  // Reads the next field into `field` and sets `record_ends` when it is the last
  // of its record. Returns false, reading nothing, at the end of the text. A
  // line break that ends the text starts no further record.
  bool NextField(std::string* field, bool* record_ends);

  // How far the reader has come, in bytes of the text.
  std::size_t position() const { return at_; }

 private:
  std::string_view text_;
  char delimiter_;
  std::size_t at_ = 0;
  bool field_pending_ = false;  // a delimiter was read: one more field follows, even at the end
};

// The delimiter of the text that `sample` starts: comma, semicolon or TAB,
// whichever parts its records (two at least) most consistently into two fields
// or more (at least three records in four with the same count); on a tie TAB, then
// semicolon, then comma. When `cut` (the text goes on past the sample), a last
// record that no line break ends is not judged, unless it is the sample's only
// one and the sample is 4 KiB or more: a record longer than that is judged alone. Returns '\0' when
// no delimiter parts the records so.
char ChooseDelimiter(std::string_view sample, bool cut);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_CSV_DELIMITED_TEXT_H_
