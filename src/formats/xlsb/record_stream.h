// XlsbRecordStream: the records of one binary part of an .xlsb package, front to back.
//
// A record ([MS-XLSB] 2.1.4) is its type in 1 or 2 bytes, its size in 1 to 4
// bytes, then a body of that size. Each header byte gives 7 bits, least
// significant first; its high bit says another byte follows. The part is inflated
// in chunks as records are read, so memory grows with the largest record present,
// never with a size the file claims; every size is checked against what the part
// holds.
#ifndef ZEROVA_FORMATS_XLSB_RECORD_STREAM_H_
#define ZEROVA_FORMATS_XLSB_RECORD_STREAM_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "formats/containers/zip_archive.h"

namespace zerova {

class XlsbRecordStream {
 public:
  // Opens the part at `part` in `zip`, which must outlive the stream; messages
  // name the part `named` ("" for `part` itself).
  // Throws Damaged (services/error.h) when the part is missing.
  XlsbRecordStream(ZipArchive& zip, const std::string& part, const std::string& named = "");

  XlsbRecordStream(const XlsbRecordStream&) = delete;
  XlsbRecordStream& operator=(const XlsbRecordStream&) = delete;

  // Moves to the next record. Returns false at the end of the part. Throws
  // Damaged when a header is cut short or malformed, or a body runs past the end
  // of the part.
  bool Next();

  // The current record. REQUIRES: the last Next() returned true. The body stays
  // valid until the next call to Next().
  std::uint32_t id() const { return id_; }
  std::span<const std::uint8_t> body() const {
    return std::span<const std::uint8_t>(buffer_).subspan(pos_, body_size_);
  }

  // Throws Damaged saying the current record's body is too short for its fields.
  [[noreturn]] void Truncated() const;

  // Throws ReadError "FILE: PART: what": a refusal of what the part holds, not
  // of damage.
  [[noreturn]] void Fail(std::string_view what) const;
  // Throws NotAWorksheet(file, what): the sheet read is no worksheet after all.
  [[noreturn]] void RefuseSheet(std::string_view what) const;

  // Throws Damaged(file, fact, "PART: detail").
  [[noreturn]] void Damaged(std::string_view fact, std::string_view detail) const;

  const std::string& file() const { return file_; }
  const std::string& part() const { return part_; }
  // Whom reading reports to; null: nobody.
  ReadProgress* progress() const { return member_.progress(); }

 private:
  // Makes `count` bytes from pos_ on available in the buffer, inflating more of
  // the part as needed (and moving the unread bytes to its front, so pos_ may
  // change). Returns false when the part ends before.
  bool Have(std::size_t count);

  // Decodes one header field of up to `max_bytes` bytes from pos_ on, moving
  // pos_ past it.
  std::uint32_t ReadVarint(std::size_t max_bytes, const char* what);

  ZipMember member_;
  std::string file_;
  std::string part_;
  std::vector<std::uint8_t> buffer_;  // [0, filled_) holds inflated bytes
  std::size_t filled_ = 0;
  std::size_t pos_ = 0;         // the next header byte, or the current body's start
  std::uint64_t consumed_ = 0;  // the part offset of buffer_[0]
  std::uint64_t offset_ = 0;    // the part offset of the current record's header
  std::uint32_t id_ = 0;
  std::size_t body_size_ = 0;
};

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLSB_RECORD_STREAM_H_
