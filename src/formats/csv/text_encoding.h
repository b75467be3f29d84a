// The character encoding of a text file, as a CSV reader judges it: a byte-order
// mark (UTF-8, UTF-16 little- or big-endian) says; else UTF-8 when the bytes are
// valid UTF-8; else Windows-1252, the usual 8-bit encoding of such files.
#ifndef ZEROVA_FORMATS_CSV_TEXT_ENCODING_H_
#define ZEROVA_FORMATS_CSV_TEXT_ENCODING_H_

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "services/read_progress.h"

namespace zerova {

enum class TextEncoding { kUtf8, kUtf16Le, kUtf16Be, kWindows1252 };

struct DetectedEncoding {
  TextEncoding encoding;
  std::size_t mark_size;  // bytes of the byte-order mark, 0 without one
};

// Judges the encoding of `bytes`, a whole file, or its first bytes when `cut`
// (then a UTF-8 sequence cut short at the end does not make them invalid).
// Asks `stop` (null: nobody) whether to stop every 64 KB, and throws Cancelled
// when it answers a stop.
DetectedEncoding DetectTextEncoding(std::span<const std::uint8_t> bytes, bool cut,
                                    ReadProgress* stop = nullptr);

// The UTF-8 text of `bytes` (no byte-order mark) in `encoding`. A byte sequence
// that stands for no character (an unpaired UTF-16 surrogate, one of the five
// bytes Windows-1252 leaves undefined) becomes U+FFFD.
// Asks `stop` (null: nobody) whether to stop every 64 KB, and throws Cancelled
// when it answers a stop.
// REQUIRES: encoding != kUtf8 (UTF-8 text is used as it is).
std::string DecodeText(std::span<const std::uint8_t> bytes, TextEncoding encoding,
                       ReadProgress* stop = nullptr);

}  // namespace zerova

#endif  // ZEROVA_FORMATS_CSV_TEXT_ENCODING_H_
