// ReadStream: a workbook that comes on a stream (standard input "-", a pipe, a
// FIFO, a terminal or a device named as FILE), read whole into memory, since
// every format needs to seek in its file. Its first bytes are judged before
// more is read, so what is no spreadsheet is refused at once, however much of
// it would follow.
#ifndef ZEROVA_CLI_STREAM_INPUT_H_
#define ZEROVA_CLI_STREAM_INPUT_H_

#include <cstdint>
#include <functional>
#include <span>

#include "services/input_stream.h"
#include "services/spreadsheet.h"
#include "services/workbook_file.h"

namespace zerova {

// How messages name standard input.
inline constexpr char kStandardInputName[] = "standard input";

// How many of its first bytes are judged before more of a stream is read: as
// many as a format is told by.
inline constexpr std::size_t kStreamHeadBytes = 16 * 1024;

// Told how far reading has got: `done` bytes of `total` (0 when the size is not
// known ahead, as on a pipe). May throw Cancelled to stop the reading.
using InputReport = std::function<void(std::uint64_t done, std::uint64_t total)>;

// Judges the first bytes of a stream (kStreamHeadBytes, or all of a shorter
// one): throws ReadError when they are no spreadsheet this program reads.
using HeadCheck = std::function<void(std::span<const std::uint8_t> head)>;

// Reads `stream` to its end, as the spreadsheet `name`. Calls `report` after every
// read (at most 64 KB), and as soon as a signal interrupts a wait for input, so
// a stop is noticed while nothing comes; calls `check` once the first
// kStreamHeadBytes are in, before reading on. The memory it holds is the
// stream's size, rounded up to a page, and no more.
// Throws ReadError naming `name` when it cannot be read or holds more than
// `max_bytes` (refused as soon as one byte more has come), as `check` throws,
// and Cancelled as `report` throws it.
SpreadsheetInput ReadStream(InputStream& stream, const std::string& name, const InputReport& report,
                            const HeadCheck& check,
                            std::uint64_t max_bytes = WorkbookFile::kMaxBytes);

}  // namespace zerova

#endif  // ZEROVA_CLI_STREAM_INPUT_H_
