// The rows and cells of a worksheet part as its parser meets them, before
// anything in them is checked or decided: what the parsing thread hands to the
// thread that builds the sheet (formats/xlsx/cell_pipe.h).
//
// A record holds the raw text of a <row>'s r attribute, or of a <c>'s r, t and
// s attributes and of its value (the last <v>, or the last <is> with its
// escapes decoded), all kept end to end in its batch's text.
#ifndef ZEROVA_FORMATS_XLSX_CELL_RECORDS_H_
#define ZEROVA_FORMATS_XLSX_CELL_RECORDS_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zerova {

struct XlsxCellRecord {
  // A piece of the batch's text.
  struct Text {
    std::uint32_t offset = 0;
    std::uint32_t size = 0;
  };

  bool is_row = false;         // a <row>; else a <c>
  bool has_reference = false;  // r is there: a row's number, a cell's reference
  bool has_value = false;      // a <v>: `value` holds its text
  bool has_inline = false;     // an <is>: `inline_text` holds its text
  Text reference, type, style, value, inline_text;
};

// Records in document order, with the text they hold. Reused: Clear empties it.
// A batch starts a cache line of its own: the parsing thread fills one while
// the building thread reads the other, and neither slows the other down.
class alignas(64) XlsxCellBatch {
 public:
  // Passed on once it holds this many records or bytes of text.
  static constexpr std::size_t kRecords = 4096;
  static constexpr std::size_t kTextBytes = 1 << 20;

  bool Full() const { return records_.size() >= kRecords || text_.size() >= kTextBytes; }
  void Clear() {
    records_.clear();
    text_.clear();
  }

  const std::vector<XlsxCellRecord>& records() const { return records_; }
  std::string_view operator[](XlsxCellRecord::Text text) const {
    return std::string_view(text_).substr(text.offset, text.size);
  }

  // Building, on the parsing thread.

  // A new record, complete once its element ends.
  XlsxCellRecord& Add() { return records_.emplace_back(); }
  // Keeps a copy of `text`.
  XlsxCellRecord::Text Keep(std::string_view text) {
    const XlsxCellRecord::Text kept{Offset(), static_cast<std::uint32_t>(text.size())};
    text_.append(text);
    return kept;
  }
  // Adds `text` to `kept`, the piece kept last.
  void Extend(XlsxCellRecord::Text& kept, std::string_view text) {
    text_.append(text);
    kept.size += static_cast<std::uint32_t>(text.size());
  }
  // The place of the next piece, for one that is extended afterwards.
  std::uint32_t Offset() const { return static_cast<std::uint32_t>(text_.size()); }

 private:
  std::vector<XlsxCellRecord> records_;
  std::string text_;
};

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLSX_CELL_RECORDS_H_
