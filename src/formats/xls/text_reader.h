// BiffTextReader: reads BIFF8 fields and strings from a record and the CONTINUE
// records after it ([MS-XLS] 2.5.293 XLUnicodeRichExtendedString, 2.5.294
// XLUnicodeString, 2.5.240 ShortXLUnicodeString); and ByteString, the 8-bit
// strings of BIFF2-5.
//
// A string's characters are stored either compressed, one byte each (U+0000 to
// U+00FF, whatever the workbook's code page), or as UTF-16. When a CONTINUE splits
// the characters, the new segment restates the width in its first byte; fixed
// fields and formatting runs carry on across a split without one. A stray byte
// left before a split, too short for a 16-bit character, is dropped. Text comes back
// as UTF-8, an unpaired surrogate becoming U+FFFD; formatting runs and phonetic
// data are skipped.
#ifndef ZEROVA_FORMATS_XLS_TEXT_READER_H_
#define ZEROVA_FORMATS_XLS_TEXT_READER_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "formats/xls/record_cursor.h"

namespace zerova {

class BiffTextReader {
 public:
  // Reads the current record of `cursor` from `offset` bytes into its body. The
  // cursor must stay on that record while the reader is used. Every read throws
  // the cursor's ReadError ("truncated record ...") when the record ends first.
  BiffTextReader(const BiffRecordCursor& cursor, std::size_t offset);

  // True iff every byte of the record and its CONTINUE records has been read.
  bool AtEnd();

  std::uint8_t U8();
  std::uint16_t U16();
  std::uint32_t U32();
  void Skip(std::uint64_t count);

  // An XLUnicodeString: 16-bit count, flags, characters.
  std::string UnicodeString();
  // An XLUnicodeString whose characters may run past the end of the record and its
  // CONTINUE records, as in damaged FORMAT and STRING records: the characters there
  // are. The count and flags must be there.
  std::string ClippedUnicodeString();
  // A ShortXLUnicodeString: 8-bit count, flags, characters.
  std::string ShortUnicodeString();
  // An XLUnicodeRichExtendedString, as the shared-string table stores them.
  std::string RichExtendedString();

 private:
  // Moves past exhausted segments; returns false when none is left.
  bool Fill();
  // Reads `count` characters stored `high_byte` wide, taking the width each split
  // restates; `clip` stops at the end of the last segment instead of throwing.
  std::string Characters(std::size_t count, bool high_byte, bool clip = false);

  const BiffRecordCursor& cursor_;
  std::span<const ByteSpan> segments_;
  std::size_t segment_ = 0;
  std::size_t pos_ = 0;
};

// How a byte string's count is stored and what a string longer than its record gives.
enum class ByteCount : std::uint8_t { k8Bit, k16Bit };
enum class Overrun : std::uint8_t { kRefuse, kClip };

// A byte string in the current record's body from `offset` ([MS-XLS] 2.5.293 for
// BIFF5; BIFF2-4 alike): its count, then as many bytes in the workbook's code page,
// returned undecoded. The view lives as long as the record's. Throws the cursor's
// "truncated record" when the body ends before the count, or before the bytes unless
// `overrun` is kClip, which returns the bytes there are.
std::string_view ByteString(const BiffRecordCursor& cursor, std::size_t offset, ByteCount count,
                            Overrun overrun = Overrun::kRefuse);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XLS_TEXT_READER_H_
