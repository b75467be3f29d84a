// CodepageDecoder: turns BIFF5's 8-bit text into UTF-8 by the workbook's code page.
//
// BIFF5 stores text as bytes in the code page its CODEPAGE record names
// ([MS-XLS] 2.4.52). The charset is chosen by CharsetOfCodepage and decoded with
// iconv; a byte the charset cannot map becomes U+FFFD. The converter is opened at
// the first text decoded, so a workbook that stores none this way (BIFF8 stores
// its text as UTF-16 or Latin-1) never loads one.
#ifndef ZEROVA_FORMATS_TEXT_CODEPAGE_DECODER_H_
#define ZEROVA_FORMATS_TEXT_CODEPAGE_DECODER_H_

#include <iconv.h>

#include <cstdint>
#include <span>
#include <string>

namespace zerova {

// The iconv charset for a CODEPAGE value: 367 is ASCII; 10000 and 32768 MACINTOSH;
// 10007 MAC-CYRILLIC; 10029 MAC-CENTRALEUROPE; any other n in 300-1999 is CPn;
// everything else (32769, 1200, 21010, ...) and a missing record (-1) is CP1252.
std::string CharsetOfCodepage(int codepage);

class CodepageDecoder {
 public:
  // Decodes by `codepage` (-1 when the workbook has no CODEPAGE record), falling
  // back to "CPn" (as win-iconv names the Mac charsets), then to CP1252, when
  // iconv lacks the charset.
  explicit CodepageDecoder(int codepage);
  ~CodepageDecoder();

  CodepageDecoder(const CodepageDecoder&) = delete;
  CodepageDecoder& operator=(const CodepageDecoder&) = delete;

  // The UTF-8 text of `bytes`.
  std::string Decode(std::span<const std::uint8_t> bytes);

 private:
  // Opens the converter, once.
  void Open();

  int codepage_;
  bool opened_ = false;
  iconv_t iconv_;
};

}  // namespace zerova

#endif  // ZEROVA_FORMATS_TEXT_CODEPAGE_DECODER_H_
