#include "formats/text/codepage_decoder.h"

#include <cerrno>

namespace zerova {
namespace {

const iconv_t kNoIconv = reinterpret_cast<iconv_t>(-1);

constexpr char kReplacementUtf8[] = "\xEF\xBF\xBD";

}  // namespace

std::string CharsetOfCodepage(int codepage) {
  switch (codepage) {
    case 367:
      return "ASCII";
    case 10000:
    case 32768:
      return "MACINTOSH";
    case 10007:
      return "MAC-CYRILLIC";
    case 10029:
      return "MAC-CENTRALEUROPE";
    default:
      break;
  }
  if (codepage >= 300 && codepage <= 1999 && codepage != 1200) {
    return "CP" + std::to_string(codepage);
  }
  return "CP1252";
}

CodepageDecoder::CodepageDecoder(int codepage) : codepage_(codepage), iconv_(kNoIconv) {}

void CodepageDecoder::Open() {
  opened_ = true;
  iconv_ = iconv_open("UTF-8", CharsetOfCodepage(codepage_).c_str());
  // An iconv that names the Mac charsets by their code pages (win-iconv over
  // Windows' own tables) takes "CP10029" where glibc's takes MAC-CENTRALEUROPE.
  if (iconv_ == kNoIconv && CharsetOfCodepage(codepage_) != "CP1252") {
    iconv_ = iconv_open("UTF-8", ("CP" + std::to_string(codepage_)).c_str());
  }
  if (iconv_ == kNoIconv) iconv_ = iconv_open("UTF-8", "CP1252");
}

CodepageDecoder::~CodepageDecoder() {
  if (iconv_ != kNoIconv) iconv_close(iconv_);
}

std::string CodepageDecoder::Decode(std::span<const std::uint8_t> bytes) {
  if (!opened_) Open();
  std::string out;
  if (iconv_ == kNoIconv) {  // iconv lacks even CP1252: Latin-1, the lowest common ground
    for (std::uint8_t b : bytes) {
      if (b < 0x80) {
        out.push_back(static_cast<char>(b));
      } else {
        out.push_back(static_cast<char>(0xC0 | (b >> 6)));
        out.push_back(static_cast<char>(0x80 | (b & 0x3F)));
      }
    }
    return out;
  }
  iconv(iconv_, nullptr, nullptr, nullptr, nullptr);  // a fresh shift state per string
  out.resize(bytes.size() * 3 + 16);
  std::size_t done = 0;
  // iconv's prototype takes a non-const input pointer but never writes through it.
  char* in = reinterpret_cast<char*>(const_cast<std::uint8_t*>(bytes.data()));
  std::size_t in_left = bytes.size();
  while (in_left > 0) {
    char* dest = out.data() + done;
    std::size_t dest_left = out.size() - done;
    const std::size_t result = iconv(iconv_, &in, &in_left, &dest, &dest_left);
    const int error = errno;
    done = static_cast<std::size_t>(dest - out.data());
    if (result != static_cast<std::size_t>(-1)) break;
    if (error == E2BIG) {
      out.resize(out.size() * 2 + 16);
      continue;
    }
    // EILSEQ or EINVAL: the byte at `in` maps to nothing, or starts a sequence cut short.
    if (out.size() - done < 3) out.resize(out.size() * 2 + 3);
    out.replace(done, 3, kReplacementUtf8, 3);
    done += 3;
    ++in;
    --in_left;
  }
  // A stateful converter may still hold a character; let it out.
  for (;;) {
    char* dest = out.data() + done;
    std::size_t dest_left = out.size() - done;
    const std::size_t result = iconv(iconv_, nullptr, nullptr, &dest, &dest_left);
    const int error = errno;
    done = static_cast<std::size_t>(dest - out.data());
    if (result == static_cast<std::size_t>(-1) && error == E2BIG) {
      out.resize(out.size() * 2 + 16);
      continue;
    }
    break;
  }
  out.resize(done);
  return out;
}

}  // namespace zerova
