// OutputTarget: where `-o` sends the document.
//
//   (no -o)       ./xmlstructure.xml, written line by line
//   -o -, ...     a stream (services/output_stream.h: standard output, a
//                   descriptor's name, a FIFO, a device), written as a stream
//   -o FILE       a file, written whole and renamed into place
//
// A folder, a folder that does not exist, or what takes no document (a disk
// device, a socket) is refused before anything is read.
#ifndef ZEROVA_CLI_OUTPUT_TARGET_H_
#define ZEROVA_CLI_OUTPUT_TARGET_H_

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "conversion/conversion_run.h"
#include "services/output_stream.h"

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
  bool shares_stdout() const { return stream_.shares_stdout; }
  bool on_terminal() const { return stream_.on_terminal; }

  // Closes a stream this target opened. Throws FileSystemError when what it
  // holds cannot be written.
  void Close();

 private:
  std::string file_;  // a file, written whole
  OutputStream stream_;
};

}  // namespace zerova

#endif  // ZEROVA_CLI_OUTPUT_TARGET_H_
