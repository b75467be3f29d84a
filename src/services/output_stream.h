// OutputStream: a place that `-o` names and that takes the document as a
// stream rather than as a file written whole: standard output, an open
// descriptor's name, a FIFO, a character device.
//
//   POSIX:   -, /dev/stdout, /dev/stderr, /dev/fd/N, /proc/self/fd/N; a FIFO
//            (opened once a reader comes); /dev/null or another character
//            device. A disk device or a socket is refused.
//   Windows: -, CON, CONOUT$ and NUL (with any extension or folder before
//            them), and a pipe's name (\\.\pipe\NAME).
//
// Each platform implements this in its folder under src/platform/.
#ifndef ZEROVA_SERVICES_OUTPUT_STREAM_H_
#define ZEROVA_SERVICES_OUTPUT_STREAM_H_

#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "services/file_system.h"

namespace zerova {

struct OutputStream {
  std::FILE* file = nullptr;   // binary, owned by whoever takes this
  std::string name;            // as messages name it ("standard output", or the path)
  bool shares_stdout = false;  // it is the program's standard output
  bool on_terminal = false;    // it is a terminal (a console)
  // The most it may take: a regular file behind it (standard output redirected
  // into one) takes no more than the file-size limit.
  std::uint64_t size_limit = FileSystem::kNoLimit;
};

// What `-o PATH` finds at PATH.
struct OutputPlace {
  enum class Kind {
    kFile,           // a file to be written whole: a regular file, or nothing yet
    kFolder,         // a folder (through a symbolic link too)
    kMissingFolder,  // nothing, in a folder that does not exist
    kStream,         // `stream`, open for writing
  };
  Kind kind = Kind::kFile;
  OutputStream stream;
};

// How the help names the places besides "-" that take the document as a
// stream: "/dev/stdout, a FIFO or a device" on POSIX systems.
const char* StreamPlacesNamed();

// Looks at `path` and opens the stream it names, if it names one. A symbolic
// link to a regular file counts as a file: the writer refuses it. `check_stop`
// is called while a FIFO awaits its reader, and ends the wait by what it
// throws. Throws FileSystemError naming `path` when what stands there takes no
// document (a disk device, a socket, a descriptor open for reading only) or
// cannot be opened for writing.
OutputPlace OpenOutputPlace(const std::string& path, const std::function<void()>& check_stop);

}  // namespace zerova

#endif  // ZEROVA_SERVICES_OUTPUT_STREAM_H_
