// OutputTarget: where `-o` sends the document.
//
//   (no -o)                 ./xmlstructure.xml, written line by line
//   -o -, -o /dev/stdout,   that open descriptor (also /dev/stderr, /dev/fd/N,
//     -o /dev/fd/3            /proc/self/fd/N), written as a stream
//   -o FIFO, -o /dev/null   a FIFO or a character device, opened and written as
//                             a stream (a FIFO awaits its reader, stoppably)
//   -o FILE                 a file, written whole and renamed into place
//
// A folder, a folder that does not exist, a disk device or a socket there is
// refused before anything is read.
#ifndef ZEROVA_CLI_OUTPUT_TARGET_H_
#define ZEROVA_CLI_OUTPUT_TARGET_H_

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "conversion/conversion_run.h"

namespace zerova {

class OutputTarget {
 public:
  // The target -o's `output` names ("" none, "-" standard output). `check_stop`
  // is called while a FIFO awaits its reader, and throws to end the wait.
  // Throws FileSystemError naming `output` when it cannot be written to.
  OutputTarget(const std::string& output, const std::function<void()>& check_stop);
  OutputTarget(const OutputTarget&) = delete;
  OutputTarget& operator=(const OutputTarget&) = delete;
  ~OutputTarget();

  // Sets `request`'s document to this target.
  void Into(ConversionRequest& request) const;

  // True iff the document goes to a stream that is standard output or the
  // terminal: the success line, or the progress line, would mix with it.
  bool shares_stdout() const { return shares_stdout_; }
  bool on_terminal() const { return on_terminal_; }

  // Closes a stream this target opened. Throws FileSystemError when what it
  // holds cannot be written.
  void Close();

 private:
  // Takes descriptor `fd` as the stream, named `name`.
  void TakeStream(int fd, std::string name);

  std::string file_;  // a file, written whole
  std::FILE* stream_ = nullptr;
  std::string stream_name_;
  std::uint64_t stream_limit_;
  bool shares_stdout_ = false;
  bool on_terminal_ = false;
};

}  // namespace zerova

#endif  // ZEROVA_CLI_OUTPUT_TARGET_H_
