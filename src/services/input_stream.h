// InputStream: a spreadsheet that comes on a stream (standard input, a pipe, a
// FIFO, a terminal or a device named as FILE), read as it comes, with the stop
// signals in mind: a wait for input ends as soon as the user asks to stop.
//
// Each platform implements the streams in its folder under src/platform/.
#ifndef ZEROVA_SERVICES_INPUT_STREAM_H_
#define ZEROVA_SERVICES_INPUT_STREAM_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace zerova {

class InputStream {
 public:
  InputStream() = default;
  InputStream(const InputStream&) = delete;
  InputStream& operator=(const InputStream&) = delete;
  virtual ~InputStream() = default;

  // Reads up to `count` bytes into `to`, waiting until some have come; returns
  // how many, 0 at the stream's end. Calls `on_wake` before it waits and after
  // every signal that interrupts the wait, so that a stop is noticed while
  // nothing comes (`on_wake` throws to end the wait). Throws ReadError naming
  // the stream when it cannot be read.
  virtual std::size_t Read(std::uint8_t* to, std::size_t count,
                           const std::function<void()>& on_wake) = 0;

  // The stream's size when it is known ahead (a regular file or a disk behind
  // standard input), else 0.
  virtual std::uint64_t KnownSize() = 0;
};

// The stream on the program's descriptor `descriptor` (0: standard input),
// which stays open when the stream goes; `name` names it in messages.
std::unique_ptr<InputStream> StreamOnDescriptor(int descriptor, std::string name);

// The stream at `path` when something to read as a stream stands there (a
// FIFO, a device; a pipe's name), opened without waiting for a writer;
// nullptr when `path` names a regular file, a folder or nothing, which are
// read, or refused, as files. Throws ReadError naming `path` when it cannot
// be opened.
std::unique_ptr<InputStream> OpenStreamAt(const std::string& path);

}  // namespace zerova

#endif  // ZEROVA_SERVICES_INPUT_STREAM_H_
