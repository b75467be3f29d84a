#include "formats/xls/text_reader.h"

#include <algorithm>

#include "formats/containers/little_endian.h"
#include "formats/text/unicode.h"

namespace zerova {
namespace {

// Flags of a string's header byte ([MS-XLS] 2.5.293).
constexpr std::uint8_t kHighByte = 0x01;
constexpr std::uint8_t kExtended = 0x04;  // phonetic data follows the runs
constexpr std::uint8_t kRich = 0x08;      // formatting runs follow the characters

}  // namespace

BiffTextReader::BiffTextReader(const BiffRecordCursor& cursor, std::size_t offset)
    : cursor_(cursor), segments_(cursor.segments()), pos_(offset) {
  if (pos_ > segments_.front().size()) cursor_.Truncated();
}

bool BiffTextReader::Fill() {
  while (pos_ == segments_[segment_].size()) {
    if (segment_ + 1 == segments_.size()) return false;
    ++segment_;
    pos_ = 0;
  }
  return true;
}

bool BiffTextReader::AtEnd() { return !Fill(); }

std::uint8_t BiffTextReader::U8() {
  if (!Fill()) cursor_.Truncated();
  return segments_[segment_][pos_++];
}

std::uint16_t BiffTextReader::U16() {
  const std::uint16_t low = U8();
  return static_cast<std::uint16_t>(low | (U8() << 8));
}

std::uint32_t BiffTextReader::U32() {
  const std::uint32_t low = U16();
  return low | (static_cast<std::uint32_t>(U16()) << 16);
}

void BiffTextReader::Skip(std::uint64_t count) {
  while (count > 0) {
    if (!Fill()) cursor_.Truncated();
    const std::size_t n =
        static_cast<std::size_t>(std::min<std::uint64_t>(count, segments_[segment_].size() - pos_));
    pos_ += n;
    count -= n;
  }
}

std::string BiffTextReader::UnicodeString() {
  const std::uint16_t count = U16();
  const std::uint8_t flags = U8();
  return Characters(count, (flags & kHighByte) != 0);
}

std::string BiffTextReader::ClippedUnicodeString() {
  const std::uint16_t count = U16();
  const std::uint8_t flags = U8();
  return Characters(count, (flags & kHighByte) != 0, true);
}

std::string BiffTextReader::ShortUnicodeString() {
  const std::uint8_t count = U8();
  const std::uint8_t flags = U8();
  return Characters(count, (flags & kHighByte) != 0);
}

std::string BiffTextReader::RichExtendedString() {
  const std::uint16_t count = U16();
  const std::uint8_t flags = U8();
  const std::uint16_t runs = (flags & kRich) != 0 ? U16() : 0;
  const std::uint32_t extended = (flags & kExtended) != 0 ? U32() : 0;
  std::string text = Characters(count, (flags & kHighByte) != 0);
  Skip(std::uint64_t{runs} * 4);  // each run: character index, font index
  Skip(extended);
  return text;
}

std::string BiffTextReader::Characters(std::size_t count, bool high_byte, bool clip) {
  std::string out;
  out.reserve(count);
  Utf16Decoder sink(out);
  while (count > 0) {
    ByteSpan segment = segments_[segment_];
    if (pos_ == segment.size()) {
      if (segment_ + 1 == segments_.size()) {
        if (clip) break;
        cursor_.Truncated();
      }
      ++segment_;
      pos_ = 0;
      segment = segments_[segment_];
      if (segment.empty()) continue;
      high_byte = (segment[pos_++] & kHighByte) != 0;  // the width, restated at the split
      continue;
    }
    const std::size_t width = high_byte ? 2 : 1;
    const std::size_t n = std::min(count, (segment.size() - pos_) / width);
    if (n == 0) {  // one stray byte before a split: a character never straddles one
      pos_ = segment.size();
      continue;
    }
    const std::uint8_t* p = segment.data() + pos_;
    if (high_byte) {
      for (std::size_t i = 0; i < n; ++i)
        sink.Unit(static_cast<char16_t>(p[2 * i] | (p[2 * i + 1] << 8)));
    } else {
      for (std::size_t i = 0; i < n; ++i) sink.Unit(p[i]);
    }
    pos_ += n * width;
    count -= n;
  }
  sink.Finish();
  return out;
}

std::string_view ByteString(const BiffRecordCursor& cursor, std::size_t offset, ByteCount count,
                            Overrun overrun) {
  const ByteSpan body = cursor.body();
  const std::size_t count_size = count == ByteCount::k8Bit ? 1 : 2;
  cursor.RequireBody(offset + count_size);
  std::size_t length = count == ByteCount::k8Bit ? body[offset] : GetU16(body, offset);
  const std::size_t stored = body.size() - offset - count_size;
  if (length > stored) {
    if (overrun == Overrun::kRefuse) cursor.Truncated();
    length = stored;
  }
  return {reinterpret_cast<const char*>(body.data()) + offset + count_size, length};
}

}  // namespace zerova
