// What `-o` names, on Windows: standard output ("-"); the console (CON,
// CONOUT$) and the null device (NUL), with whatever folder or extension, as
// Windows reads device names; and a pipe by its name. Anything else is a
// file, a folder or nothing, which GetFileAttributesW tells apart.
#include "services/output_stream.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdint>
#include <utility>

#include "platform/windows/device_names.h"
#include "platform/windows/input_reader.h"
#include "platform/windows/wide_text.h"
#include "services/error.h"
#include "services/paths.h"

namespace zerova {
namespace {

constexpr DWORD kShareReadWrite = FILE_SHARE_READ | FILE_SHARE_WRITE;

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return ::GetConsoleMode(handle, &mode) != 0;
}

// True iff `handle` writes where standard output does: both to the console,
// or both to one disk file.
bool SharesStandardOutput(HANDLE handle) {
  const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
  if (IsConsole(handle) || IsConsole(out)) return IsConsole(handle) && IsConsole(out);
  BY_HANDLE_FILE_INFORMATION one, other;
  return ::GetFileType(handle) == FILE_TYPE_DISK && ::GetFileType(out) == FILE_TYPE_DISK &&
         ::GetFileInformationByHandle(handle, &one) && ::GetFileInformationByHandle(out, &other) &&
         one.dwVolumeSerialNumber == other.dwVolumeSerialNumber &&
         one.nFileIndexHigh == other.nFileIndexHigh && one.nFileIndexLow == other.nFileIndexLow;
}

// The stream on `handle`, which it takes, named `name`.
OutputStream StreamOn(ScopedHandle handle, std::string name, bool standard_output) {
  OutputStream stream;
  stream.shares_stdout = standard_output || SharesStandardOutput(handle.get());
  stream.on_terminal = IsConsole(handle.get());
  const int fd =
      ::_open_osfhandle(reinterpret_cast<std::intptr_t>(handle.get()), _O_WRONLY | _O_BINARY);
  if (fd < 0) throw PosixError(name, "write to it", errno);
  handle.Release();  // the descriptor's now
  stream.file = ::_fdopen(fd, "wb");
  if (stream.file == nullptr) {
    const int error = errno;
    ::_close(fd);
    throw PosixError(name, "write to it", error);
  }
  stream.name = std::move(name);
  return stream;
}

// A handle of this program's own on its standard output.
ScopedHandle StandardOutput() {
  const HANDLE process = ::GetCurrentProcess(), out = ::GetStdHandle(STD_OUTPUT_HANDLE);
  HANDLE own = nullptr;
  if (out == nullptr || out == INVALID_HANDLE_VALUE ||
      !::DuplicateHandle(process, out, process, &own, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
    throw FileSystemError("standard output",
                          "could not write to it: the program was started without one");
  }
  return ScopedHandle(own);
}

// Opens the pipe `path` for writing, waiting for a free instance of it while
// every one is taken, asking `check_stop` meanwhile.
ScopedHandle OpenPipe(const std::string& path, const std::function<void()>& check_stop) {
  const std::wstring name = Wide(path);
  for (;;) {
    ScopedHandle pipe(
        ::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (pipe.valid()) return pipe;
    const DWORD error = ::GetLastError();
    if (error != ERROR_PIPE_BUSY) throw WindowsError(path, "open it for writing", error);
    check_stop();
    ::WaitNamedPipeW(name.c_str(), kWakeMilliseconds);
  }
}

// Opens the device named `stem` at `path` for the document: the console's
// output or the null device. Any other device is refused.
ScopedHandle OpenDevice(const std::string& path, const std::string& stem) {
  if (stem == "CON" || stem == "CONOUT$") {
    ScopedHandle console(::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, kShareReadWrite,
                                       nullptr, OPEN_EXISTING, 0, nullptr));
    if (!console.valid()) throw FileSystemError(path, "names the console, and there is none");
    return console;
  }
  if (stem != "NUL") {
    throw FileSystemError(path, "names the device " + stem + ", which takes no document");
  }
  ScopedHandle null(
      ::CreateFileW(L"NUL", GENERIC_WRITE, kShareReadWrite, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!null.valid()) throw WindowsError(path, "open it for writing", ::GetLastError());
  return null;
}

// What GetFileAttributesW tells of `path`; INVALID_FILE_ATTRIBUTES when it
// cannot look, `*missing` then saying whether because nothing stands there.
DWORD Look(const std::string& path, bool* missing) {
  const DWORD attributes = ::GetFileAttributesW(WidePath(path).c_str());
  const DWORD error = ::GetLastError();
  *missing = attributes == INVALID_FILE_ATTRIBUTES &&
             (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND);
  return attributes;
}

OutputPlace Stream(OutputStream stream) { return {OutputPlace::Kind::kStream, std::move(stream)}; }

}  // namespace

const char* StreamPlacesNamed() { return "CON, NUL or a pipe"; }

OutputPlace OpenOutputPlace(const std::string& path, const std::function<void()>& check_stop) {
  if (path == "-") return Stream(StreamOn(StandardOutput(), "standard output", true));
  if (IsPipeName(path)) return Stream(StreamOn(OpenPipe(path, check_stop), path, false));
  if (const std::string name = FileNameOf(path); IsDeviceName(name)) {
    return Stream(StreamOn(OpenDevice(path, DeviceStem(name)), path, false));
  }
  bool missing = false, folder_missing = false;
  const DWORD attributes = Look(path, &missing);
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    // A link to a folder is a folder; a link to a file is the writer's to refuse.
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return {OutputPlace::Kind::kFolder, {}};
    return {};
  }
  Look(FolderOf(path), &folder_missing);
  if (missing && folder_missing) return {OutputPlace::Kind::kMissingFolder, {}};
  return {};  // a new file; what stands in the way is the writer's to refuse
}

}  // namespace zerova
