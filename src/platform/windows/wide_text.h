// Text at the Win32 API: UTF-8 inside the program, UTF-16 at each call, and
// the system's errors in the program's words. Shared by the Windows pieces.
#ifndef ZEROVA_PLATFORM_WINDOWS_WIDE_TEXT_H_
#define ZEROVA_PLATFORM_WINDOWS_WIDE_TEXT_H_

#include <windows.h>

#include <string>
#include <string_view>

#include "services/error.h"

namespace zerova {

// The UTF-16 text of the UTF-8 `text`. Throws Error naming `text` when it is
// no UTF-8 (the name of no file on Windows, which keeps names in UTF-16).
std::wstring Wide(std::string_view text);

// The UTF-8 text of the UTF-16 `text`; a lone surrogate becomes U+FFFD.
std::string Utf8(std::wstring_view text);

// `path` as the W functions take it: in UTF-16, and made a full path with the
// "\\?\" prefix when it is longer than the old limit of 260 characters, so
// that long paths work wherever the file system allows them.
std::wstring WidePath(std::string_view path);

// The system's error `code` in plain words, as on a POSIX system where one
// stands for the other ("No such file or directory", "Permission denied",
// "No space left on device"), else the system's own text.
std::string WindowsErrorText(DWORD code);

// "FILE: could not ACTION: WHY" for the error `code` (GetLastError()).
FileSystemError WindowsError(std::string_view file, std::string_view action, DWORD code);

// A handle closed when it goes (INVALID_HANDLE_VALUE and null: none).
class ScopedHandle {
 public:
  ScopedHandle() = default;
  explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.Release()) {}
  ~ScopedHandle() { Close(); }

  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  HANDLE get() const { return handle_; }
  HANDLE Release() {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return handle;
  }
  // Closes the handle; false when the close reports a failure.
  bool Close() {
    if (!valid()) return true;
    return ::CloseHandle(Release()) != 0;
  }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace zerova

#endif  // ZEROVA_PLATFORM_WINDOWS_WIDE_TEXT_H_
