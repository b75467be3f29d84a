#include "platform/windows/wide_text.h"

#include <cwctype>
#include <vector>

namespace zerova {
namespace {

// The old limit on a path's length, less room for a file name added to it.
constexpr std::size_t kShortPathLimit = 240;

// Plain words for the errors a user meets most, as a POSIX system says them.
struct KnownError {
  DWORD code;
  const char* text;
};
constexpr KnownError kKnownErrors[] = {
    {ERROR_FILE_NOT_FOUND, "No such file or directory"},
    {ERROR_PATH_NOT_FOUND, "No such file or directory"},
    {ERROR_ACCESS_DENIED, "Permission denied"},
    {ERROR_SHARING_VIOLATION, "the file is open in another program"},
    {ERROR_LOCK_VIOLATION, "part of the file is locked by another program"},
    {ERROR_DISK_FULL, "No space left on device"},
    {ERROR_HANDLE_DISK_FULL, "No space left on device"},
    {ERROR_FILE_EXISTS, "File exists"},
    {ERROR_ALREADY_EXISTS, "File exists"},
    {ERROR_INVALID_NAME, "the name is not a valid file name on Windows"},
    {ERROR_FILENAME_EXCED_RANGE, "File name too long"},
    {ERROR_DIRECTORY, "Not a directory"},
    {ERROR_WRITE_PROTECT, "Read-only file system"},
    {ERROR_NOT_READY, "the drive is not ready"},
    {ERROR_TOO_MANY_OPEN_FILES, "Too many open files"},
    {ERROR_NOT_ENOUGH_MEMORY, "Cannot allocate memory"},
    {ERROR_OUTOFMEMORY, "Cannot allocate memory"},
    {ERROR_BROKEN_PIPE, "Broken pipe"},
    {ERROR_NO_DATA, "Broken pipe"},
    {ERROR_DIR_NOT_EMPTY, "Directory not empty"},
    {ERROR_NETWORK_ACCESS_DENIED, "Permission denied"},
    {ERROR_BAD_NETPATH, "the network path was not found"},
    {ERROR_CANT_RESOLVE_FILENAME, "Too many levels of symbolic links"},
};

}  // namespace

std::wstring Wide(std::string_view text) {
  if (text.empty()) return std::wstring();
  const int size = static_cast<int>(text.size());
  const int length =
      ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
  if (length <= 0) throw Error(text, "the name is not valid UTF-8 text");
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), length);
  return wide;
}

std::string Utf8(std::wstring_view text) {
  if (text.empty()) return std::string();
  const int size = static_cast<int>(text.size());
  const int length =
      ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, utf8.data(), length, nullptr, nullptr);
  return utf8;
}

std::wstring WidePath(std::string_view path) {
  std::wstring wide = Wide(path);
  if (wide.size() < kShortPathLimit || wide.starts_with(L"\\\\?\\")) return wide;
  const DWORD needed = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return wide;
  std::wstring full(needed, L'\0');
  const DWORD length = ::GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed) return wide;
  full.resize(length);
  if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);  // a share
  return L"\\\\?\\" + full;
}

std::string WindowsErrorText(DWORD code) {
  for (const KnownError& known : kKnownErrors) {
    if (known.code == code) return known.text;
  }
  wchar_t* text = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&text),
      0, nullptr);
  std::wstring message(text != nullptr ? text : L"", length);
  if (text != nullptr) ::LocalFree(text);
  while (!message.empty() && (std::iswspace(message.back()) || message.back() == L'.')) {
    message.pop_back();
  }
  if (message.empty()) return "system error " + std::to_string(code);
  return Utf8(message);
}

FileSystemError WindowsError(std::string_view file, std::string_view action, DWORD code) {
  std::string what = "could not ";
  what.append(action).append(": ").append(WindowsErrorText(code));
  return FileSystemError(file, what);
}

}  // namespace zerova
