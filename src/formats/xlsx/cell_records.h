// The rows and cells of a worksheet part as its parser meets them, before
// anything in them is checked or decided: what the parsing thread hands to the
// thread that builds the sheet (formats/xlsx/cell_pipe.h).
//
// A record holds the raw text of a <row>'s r attribute, or of a <c>'s r, t and
// s attributes and of its value (the last <v>, or the last <is> with its
// escapes decoded), all kept end to end in its batch's text.
#ifndef ZEROVA_FORMATS_XLSX_CELL_RECORDS_H_
#define ZEROVA_FORMATS_XLSX_CELL_RECORDS_H_

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
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

  bool Full() const { return records_.size() >= kRecords || size_ >= kTextBytes; }
  void Clear() {
    records_.clear();
    size_ = 0;
  }

  const std::vector<XlsxCellRecord>& records() const { return records_; }
  std::string_view operator[](XlsxCellRecord::Text text) const {
    return std::string_view(text_.get() + text.offset, text.size);
  }

  // Building, on the parsing thread.

  // A new record, complete once its element ends.
  XlsxCellRecord& Add() { return records_.emplace_back(); }
  // Keeps a copy of `text`.
  XlsxCellRecord::Text Keep(std::string_view text) {
    const XlsxCellRecord::Text kept{Offset(), static_cast<std::uint32_t>(text.size())};
    Append(text);
    return kept;
  }
  // Adds `text` to `kept`, the piece kept last.
  void Extend(XlsxCellRecord::Text& kept, std::string_view text) {
    Append(text);
    kept.size += static_cast<std::uint32_t>(text.size());
  }
  // The place of the next piece, for one that is extended afterwards.
  std::uint32_t Offset() const { return static_cast<std::uint32_t>(size_); }

 private:
  // Appends `text`. Most pieces are a few bytes: copied in two moves of a
  // fixed size, which need no call.
  void Append(std::string_view text) {
    const std::size_t n = text.size();
    if (n > capacity_ - size_) Grow(n);
    char* const at = text_.get() + size_;
    const char* const from = text.data();
    if (n >= 8 && n <= 16) {
      CopyFixed<8>(at, from);
      CopyFixed<8>(at + n - 8, from + n - 8);
    } else if (n >= 4 && n < 8) {
      CopyFixed<4>(at, from);
      CopyFixed<4>(at + n - 4, from + n - 4);
    } else if (n > 0 && n < 4) {
      at[0] = from[0];
      at[n / 2] = from[n / 2];
      at[n - 1] = from[n - 1];
    } else if (n > 16) {
      std::memcpy(at, from, n);
    }
    size_ += n;
  }
  template <std::size_t kBytes>
  static void CopyFixed(char* to, const char* from) {
    char bytes[kBytes];
    std::memcpy(bytes, from, kBytes);
    std::memcpy(to, bytes, kBytes);
  }
  // Makes room for `n` more bytes, keeping the text.
  void Grow(std::size_t n) {
    const std::size_t capacity = std::max({2 * capacity_, size_ + n, kTextBytes + 4096});
    auto text = std::make_unique_for_overwrite<char[]>(capacity);
    if (size_ > 0) std::memcpy(text.get(), text_.get(), size_);
    text_ = std::move(text);
    capacity_ = capacity;
  }

  std::vector<XlsxCellRecord> records_;
  std::unique_ptr<char[]> text_;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLSX_CELL_RECORDS_H_
