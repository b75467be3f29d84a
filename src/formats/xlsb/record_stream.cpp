#include "formats/xlsb/record_stream.h"

#include <cstring>

#include "services/error.h"

namespace zerova {
namespace {

// How much of the part is inflated at a time.
constexpr std::size_t kChunk = 64 * 1024;

constexpr char kCutShort[] = "a record is cut short";

}  // namespace

XlsbRecordStream::XlsbRecordStream(ZipArchive& zip, const std::string& part,
                                   const std::string& named)
    : member_(zip.Open(part)), file_(zip.file()), part_(named.empty() ? part : named) {}

bool XlsbRecordStream::Next() {
  pos_ += body_size_;
  body_size_ = 0;
  offset_ = consumed_ + pos_;
  if (!Have(1)) return false;
  id_ = ReadVarint(2, "type");
  const std::uint32_t size = ReadVarint(4, "size");
  if (!Have(size)) {
    Damaged(kCutShort,
            "the record at byte " + std::to_string(offset_) + " runs past the end of the part");
  }
  body_size_ = size;
  return true;
}

void XlsbRecordStream::Truncated() const {
  Damaged(kCutShort, "record " + std::to_string(id_) + " at byte " + std::to_string(offset_) +
                         " is too short for its fields");
}

void XlsbRecordStream::Fail(std::string_view what) const {
  throw ReadError(file_, part_ + ": " + std::string(what));
}

void XlsbRecordStream::RefuseSheet(std::string_view what) const {
  throw NotAWorksheet(file_, part_ + ": " + std::string(what));
}

void XlsbRecordStream::Damaged(std::string_view fact, std::string_view detail) const {
  throw zerova::Damaged(file_, fact, part_ + ": " + std::string(detail));
}

bool XlsbRecordStream::Have(std::size_t count) {
  if (filled_ - pos_ >= count) return true;
  if (pos_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + pos_, filled_ - pos_);
    filled_ -= pos_;
    consumed_ += pos_;
    pos_ = 0;
  }
  while (filled_ < count) {
    // Grows with the bytes the part really holds, whatever `count` claims.
    if (buffer_.size() < filled_ + kChunk) buffer_.resize(filled_ + kChunk);
    const std::size_t got = member_.Read(reinterpret_cast<char*>(buffer_.data() + filled_), kChunk);
    if (got == 0) return false;
    filled_ += got;
  }
  return true;
}

std::uint32_t XlsbRecordStream::ReadVarint(std::size_t max_bytes, const char* what) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < max_bytes; ++i) {
    if (!Have(1)) {
      Damaged(kCutShort,
              "the record at byte " + std::to_string(offset_) + " is cut short in its header");
    }
    const std::uint8_t byte = buffer_[pos_++];
    value |= static_cast<std::uint32_t>(byte & 0x7F) << (7 * i);
    if ((byte & 0x80) == 0) return value;
  }
  Damaged("a record is malformed",
          "the record at byte " + std::to_string(offset_) + " has a malformed " + what);
}

}  // namespace zerova
