#include "formats/xlsb/record_fields.h"

#include "formats/containers/little_endian.h"
#include "formats/numbers/rk_number.h"
#include "formats/text/unicode.h"

namespace zerova {
namespace {

constexpr std::uint32_t kNullString = 0xFFFFFFFF;

}  // namespace

std::uint8_t XlsbFields::U8() {
  Need(1);
  return body_[pos_++];
}

std::uint16_t XlsbFields::U16() {
  Need(2);
  const std::uint16_t value = GetU16(body_, pos_);
  pos_ += 2;
  return value;
}

std::uint32_t XlsbFields::U32() {
  Need(4);
  const std::uint32_t value = GetU32(body_, pos_);
  pos_ += 4;
  return value;
}

double XlsbFields::Double() {
  Need(8);
  const double value = GetDouble(body_, pos_);
  pos_ += 8;
  return value;
}

double XlsbFields::Rk() { return RkNumber(U32()); }

std::string XlsbFields::WideString() {
  const std::uint32_t units = U32();
  if ((body_.size() - pos_) / 2 < units) stream_.Truncated();
  std::string text;
  text.reserve(units);
  Utf16Decoder decoder(text);
  for (std::uint32_t i = 0; i < units; ++i, pos_ += 2) decoder.Unit(GetU16(body_, pos_));
  decoder.Finish();
  return text;
}

std::string XlsbFields::NullableWideString() {
  Need(4);
  if (GetU32(body_, pos_) == kNullString) {
    pos_ += 4;
    return "";
  }
  return WideString();
}

std::string XlsbFields::RichString() {
  U8();  // fRichStr, fExtStr: what follows the text
  return WideString();
}

void XlsbFields::Skip(std::size_t count) {
  Need(count);
  pos_ += count;
}

}  // namespace zerova
