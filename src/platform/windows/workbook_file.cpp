// WorkbookFile's opening and reads on Windows: one handle, shared for reading
// and writing, so that a workbook another program has open (Excel keeps its
// files open) is read all the same; read at offsets, so that its file
// pointer stays the stream's (OpenStream).
#include "services/workbook_file.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <utility>

#include "platform/windows/device_names.h"
#include "platform/windows/wide_text.h"
#include "services/error.h"
#include "services/paths.h"

namespace zerova {

class WorkbookFile::Handle {
 public:
  explicit Handle(ScopedHandle file) : file(std::move(file)) {}
  ScopedHandle file;
};

namespace {

[[noreturn]] void CannotOpen(const std::string& path, DWORD error) {
  throw ReadError(path, "cannot open the file: " + WindowsErrorText(error));
}

// Refuses what `attributes` show is no file to read.
void RequireReadable(const std::string& path, DWORD attributes) {
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    throw ReadError(path, "is a folder, not a spreadsheet file");
  }
  if (attributes & FILE_ATTRIBUTE_DEVICE) throw ReadError(path, "is not a regular file");
}

}  // namespace

WorkbookFile::WorkbookFile(std::string path) : path_(std::move(path)) {
  if (path_.empty()) throw ReadError("", "no spreadsheet file was chosen");
  // A device's name is never opened: opening one may itself do something.
  if (IsDeviceName(FileNameOf(path_))) throw ReadError(path_, "is not a regular file");
  const std::wstring wide = WidePath(path_);
  const DWORD attributes = ::GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
      throw ReadError(path_, "no such file");
    }
    CannotOpen(path_, error);
  }
  RequireReadable(path_, attributes);
  ScopedHandle file(::CreateFileW(wide.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.valid()) CannotOpen(path_, ::GetLastError());
  // What was opened is what counts: the path may have changed since the look.
  BY_HANDLE_FILE_INFORMATION info;
  if (!::GetFileInformationByHandle(file.get(), &info)) CannotOpen(path_, ::GetLastError());
  RequireReadable(path_, info.dwFileAttributes);
  if (::GetFileType(file.get()) != FILE_TYPE_DISK) throw ReadError(path_, "is not a regular file");
  size_ = static_cast<std::size_t>((static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) |
                                   info.nFileSizeLow);
  handle_ = std::make_unique<Handle>(std::move(file));
}

WorkbookFile::~WorkbookFile() = default;

void WorkbookFile::Close() { handle_.reset(); }

std::size_t WorkbookFile::ReadAt(std::uint8_t* to, std::size_t count, std::size_t offset) {
  std::size_t done = 0;
  while (done < count) {
    const std::uint64_t at = offset + done;
    OVERLAPPED where{};
    where.Offset = static_cast<DWORD>(at);
    where.OffsetHigh = static_cast<DWORD>(at >> 32);
    const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(count - done, 1u << 30));
    DWORD got = 0;
    if (!::ReadFile(handle_->file.get(), to + done, wanted, &got, &where)) {
      const DWORD error = ::GetLastError();
      if (error == ERROR_HANDLE_EOF) break;
      throw ReadError(path_, "cannot read the file: " + WindowsErrorText(error));
    }
    if (got == 0) break;
    done += got;
  }
  return done;
}

std::FILE* WorkbookFile::OpenStream() {
  HANDLE copy = nullptr;
  const HANDLE process = ::GetCurrentProcess();
  if (!::DuplicateHandle(process, handle_->file.get(), process, &copy, 0, FALSE,
                         DUPLICATE_SAME_ACCESS)) {
    CannotOpen(path_, ::GetLastError());
  }
  const int fd = ::_open_osfhandle(reinterpret_cast<std::intptr_t>(copy), _O_RDONLY | _O_BINARY);
  std::FILE* stream = fd >= 0 ? ::_fdopen(fd, "rb") : nullptr;
  if (stream == nullptr) {
    if (fd >= 0) {
      ::_close(fd);
    } else {
      ::CloseHandle(copy);
    }
    throw ReadError(path_, "cannot open the file: Too many open files");
  }
  // Reads of 64 KB at a time, from the start: the handle's file pointer moved
  // with the reads at offsets, which the copy shares.
  std::setvbuf(stream, nullptr, _IOFBF, 64 * 1024);
  std::rewind(stream);
  return stream;
}

}  // namespace zerova
