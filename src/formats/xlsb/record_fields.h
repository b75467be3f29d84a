// XlsbFields: reads the fields of one .xlsb record body in order ([MS-XLSB] 2.5:
// little-endian integers, IEEE doubles, and strings of UTF-16LE code units).
//
// Every read checks what is left of the body first; a body too short for a field
// is refused through the stream (XlsbRecordStream::Truncated).
#ifndef ZEROVA_FORMATS_XLSB_RECORD_FIELDS_H_
#define ZEROVA_FORMATS_XLSB_RECORD_FIELDS_H_

#include <cstdint>
#include <span>
#include <string>

#include "formats/xlsb/record_stream.h"

namespace zerova {

class XlsbFields {
 public:
  // Reads the current record of `stream`, which must stay on it while this lives.
  explicit XlsbFields(const XlsbRecordStream& stream) : stream_(stream), body_(stream.body()) {}

  std::uint8_t U8();
  std::uint16_t U16();
  std::uint32_t U32();
  double Double();

  // The number an RkNumber stands for (formats/numbers/rk_number.h).
  double Rk();

  // An XLWideString (a 32-bit count of code units, then the units) as UTF-8;
  // an unpaired surrogate becomes U+FFFD.
  std::string WideString();

  // An XLNullableWideString: as WideString, and "" for the null count 0xFFFFFFFF.
  std::string NullableWideString();

  // A RichStr: its flags, then its text as WideString does. Formatting runs and
  // phonetic text after the text are left unread.
  std::string RichString();

  // Skips `count` bytes.
  void Skip(std::size_t count);

 private:
  // Throws unless `count` more bytes are left.
  void Need(std::size_t count) const {
    if (body_.size() - pos_ < count) stream_.Truncated();
  }

  const XlsbRecordStream& stream_;
  std::span<const std::uint8_t> body_;
  std::size_t pos_ = 0;
};

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLSB_RECORD_FIELDS_H_
