// ReadStandardInput: a workbook that comes on standard input (FILE "-"), read
// whole into memory first, since every format needs to seek in its file.
#ifndef ZEROVA_CLI_STANDARD_INPUT_H_
#define ZEROVA_CLI_STANDARD_INPUT_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "services/workbook_file.h"

namespace zerova {

// How messages name standard input.
inline constexpr char kStandardInputName[] = "standard input";

// Told how far reading has got: `done` bytes of `total` (0 when the size is not
// known ahead, as on a pipe). May throw Cancelled to stop the reading.
using InputReport = std::function<void(std::uint64_t done, std::uint64_t total)>;

// Reads `fd` (a pipe, a terminal or a redirected file) to its end. Calls
// `report` after every read (at most 64 KB), and as soon as a signal interrupts
// a wait for input, so a stop is noticed while nothing comes.
// Throws ReadError naming standard input when it cannot be read or holds more
// than `max_bytes` (refused as soon as one byte more has come), and Cancelled as
// `report` throws it.
std::shared_ptr<const std::vector<std::uint8_t>> ReadStandardInput(
    int fd, const InputReport& report, std::uint64_t max_bytes = WorkbookFile::kMaxBytes);

}  // namespace zerova

#endif  // ZEROVA_CLI_STANDARD_INPUT_H_
