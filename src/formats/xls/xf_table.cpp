#include "formats/xls/xf_table.h"

#include "formats/containers/little_endian.h"
#include "formats/numbers/number_format.h"
#include "formats/xls/text_reader.h"

namespace zerova {
namespace {

// BIFF2 cells name their format in 6 bits.
constexpr std::uint16_t kBiff2Formats = 64;

}  // namespace

void XfTable::Format(const BiffRecordCursor& cursor) {
  const std::size_t code_at = cursor.id() == biff::kFormatBiff2 ? 0 : 2;  // after the id
  cursor.RequireBody(code_at);
  const std::uint16_t number =
      version_ >= BiffVersion::kBiff5 ? GetU16(cursor.body(), 0) : next_format_++;
  codes_[number] = version_ == BiffVersion::kBiff8
                       ? BiffTextReader(cursor, code_at).ClippedUnicodeString()
                       : std::string(ByteString(cursor, code_at, ByteCount::k8Bit, Overrun::kClip));
}

void XfTable::Xf(const BiffRecordCursor& cursor) {
  const ByteSpan body = cursor.body();
  switch (cursor.id()) {
    case biff::kXfBiff2:  // font, a spare byte, then the format in the low 6 bits
      cursor.RequireBody(3);
      xf_formats_.push_back(body[2] & 0x3F);
      break;
    case biff::kXfBiff3:
    case biff::kXfBiff4:  // font, then the format
      cursor.RequireBody(2);
      xf_formats_.push_back(body[1]);
      break;
    default:  // font, then the format, 16 bits each
      cursor.RequireBody(4);
      xf_formats_.push_back(GetU16(body, 2));
      break;
  }
}

void XfTable::Judge(CodepageDecoder& decoder, std::vector<bool>* xf_is_date,
                    std::vector<bool>* format_is_date) const {
  // 8-bit codes are bytes in the workbook's code page and are judged once decoded:
  // in a double-byte code page such as Shift JIS, 0x5C may be the second half of a
  // character, not a backslash.
  DateFormats formats;
  for (const auto& [number, code] : codes_) {
    formats.Define(number, version_ == BiffVersion::kBiff8
                               ? code
                               : decoder.Decode({reinterpret_cast<const std::uint8_t*>(code.data()),
                                                 code.size()}));
  }
  xf_is_date->clear();
  xf_is_date->reserve(xf_formats_.size());
  for (std::uint16_t number : xf_formats_) xf_is_date->push_back(formats.IsDate(number));
  format_is_date->clear();
  for (int number = 0; number < kBiff2Formats; ++number) {
    format_is_date->push_back(formats.IsDate(number));
  }
}

}  // namespace zerova
