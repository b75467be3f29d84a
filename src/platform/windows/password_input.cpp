// Passwords on Windows: a file read with the stop in mind, the environment,
// and the console, read in UTF-16 with its echo off. What holds a password's
// characters on the way is wiped before it is let go.
#include "services/password_input.h"

#include <windows.h>

#include <stdlib.h>  // _wgetenv, _wputenv

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <vector>

#include "platform/windows/input_reader.h"
#include "platform/windows/stop_events.h"
#include "platform/windows/wide_text.h"
#include "services/error.h"

namespace zerova {
namespace {

constexpr std::size_t kMaxPasswordBytes = 4096;

// Where a password's UTF-16 characters live on their way to SecretBytes.
using SecretWide = std::vector<wchar_t, WipingAllocator<wchar_t>>;

// The UTF-8 text of the UTF-16 `text`; a lone surrogate becomes U+FFFD.
SecretBytes SecretUtf8(const wchar_t* text, std::size_t length) {
  SecretBytes bytes;
  if (length == 0) return bytes;
  const int size = static_cast<int>(length);
  const int needed = ::WideCharToMultiByte(CP_UTF8, 0, text, size, nullptr, 0, nullptr, nullptr);
  bytes.resize(static_cast<std::size_t>(std::max(needed, 0)));
  ::WideCharToMultiByte(CP_UTF8, 0, text, size, reinterpret_cast<char*>(bytes.data()), needed,
                        nullptr, nullptr);
  return bytes;
}

// Reads one line from `file` byte by byte (the rest stays unread), without its
// line end; nullopt at the end of input before any byte. Waits for each byte
// as for standard input, `check_stop` answering a stop. Sets `*error` when
// `file` cannot be read.
std::optional<SecretBytes> ReadLine(HANDLE file, const std::function<void()>& check_stop,
                                    DWORD* error) {
  SecretBytes line;
  line.reserve(256);
  bool any = false;
  std::uint8_t byte = 0;
  DWORD got = 0;
  InputReader reader(file);
  while (line.size() < kMaxPasswordBytes) {
    if (!reader.Read(&byte, 1, &got, check_stop)) *error = ::GetLastError();
    if (*error != ERROR_SUCCESS || got == 0) break;
    any = true;
    if (byte == '\n') break;
    line.push_back(byte);
  }
  ::SecureZeroMemory(&byte, sizeof byte);
  if (!any) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

ScopedHandle OpenConsole(const wchar_t* name) {
  return ScopedHandle(::CreateFileW(name, GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                    nullptr));
}

void Write(HANDLE console, const std::wstring& text) {
  DWORD done = 0;
  for (std::size_t at = 0; at < text.size(); at += done) {
    const DWORD size = static_cast<DWORD>(text.size() - at);
    if (!::WriteConsoleW(console, text.data() + at, size, &done, nullptr) || done == 0) return;
  }
}

// Turns the echo off at the console input for its lifetime, the line input
// and Ctrl+C as a stop kept on; a second stop meanwhile turns it back on.
class EchoOff {
 public:
  EchoOff(HANDLE console, DWORD mode) {
    RestoreConsoleOnEnd(console, mode);
    ::SetConsoleMode(
        console, (mode & ~DWORD{ENABLE_ECHO_INPUT}) | ENABLE_LINE_INPUT | ENABLE_PROCESSED_INPUT);
  }
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;
  ~EchoOff() { RestoreConsole(); }
};

// Adds what `chunk` holds up to a line's end to `line`, as much as a password
// takes; true iff the line's end was in it.
bool TakeLine(const wchar_t* chunk, DWORD count, SecretWide* line) {
  for (DWORD i = 0; i < count; ++i) {
    if (chunk[i] == L'\n') return true;
    if (line->size() < kMaxPasswordBytes) line->push_back(chunk[i]);
  }
  return false;
}

// Reads one line at the console, without its line end; nullopt when the
// input ends before one (Ctrl+Z, or a console that cannot be read).
std::optional<SecretWide> ReadConsoleLine(HANDLE console, const std::function<void()>& check_stop) {
  SecretWide line;
  line.reserve(256);
  wchar_t chunk[64];
  bool any = false, whole = false, wait = true;
  while (!whole) {
    DWORD got = 0;
    if (wait && !WaitForKey(console, check_stop)) break;
    ::SetLastError(ERROR_SUCCESS);
    const bool read = ::ReadConsoleW(console, chunk, 64, &got, nullptr) != 0;
    // Ctrl+C breaks off the read: the stop is asked about in the next wait.
    // Otherwise only a line's first read waits: the console holds the rest of
    // a longer line, which comes with no key press.
    wait = ::GetLastError() == ERROR_OPERATION_ABORTED;
    if (wait) continue;
    if (!read || got == 0) break;
    any = true;
    whole = TakeLine(chunk, got, &line);
    ::SecureZeroMemory(chunk, sizeof chunk);
  }
  // A stop while the line was typed, which did not break off the read.
  check_stop();
  if (!any || (!line.empty() && line.front() == L'\x1A')) return std::nullopt;
  if (!line.empty() && line.back() == L'\r') line.pop_back();
  return line;
}

// Wipes the variable `name` wherever the program keeps it, and removes it: in
// the process's environment block, which other programs may read, the value is
// first written over with one as long (where it lies) and then removed; in the
// C runtime's two copies, narrow and wide, it is zeroed and then removed.
void WipeVariable(const char* name, const std::wstring& wide_name, std::size_t length) {
  ::SetEnvironmentVariableW(wide_name.c_str(), std::wstring(length, L'0').c_str());
  ::SetEnvironmentVariableW(wide_name.c_str(), nullptr);
  if (char* narrow = std::getenv(name); narrow != nullptr) {
    ::SecureZeroMemory(narrow, std::strlen(narrow));
  }
  if (wchar_t* wide = ::_wgetenv(wide_name.c_str()); wide != nullptr) {
    ::SecureZeroMemory(wide, std::wcslen(wide) * sizeof(wchar_t));
  }
  ::_wputenv((wide_name + L"=").c_str());
}

}  // namespace

std::optional<SecretBytes> TakeEnvironmentSecret(const char* name) {
  const std::wstring wide_name = Wide(name);
  ::SetLastError(ERROR_SUCCESS);
  const DWORD size = ::GetEnvironmentVariableW(wide_name.c_str(), nullptr, 0);
  if (size == 0 && ::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
  SecretWide value(size + 1);
  const DWORD length = ::GetEnvironmentVariableW(wide_name.c_str(), value.data(), size + 1);
  SecretBytes secret = SecretUtf8(value.data(), std::min(length, size));
  WipeVariable(name, wide_name, std::min(length, size));
  return secret;
}

SecretBytes ReadPasswordFile(const std::string& path, const std::function<void()>& check_stop) {
  const std::wstring wide_path = WidePath(path);
  const DWORD attributes = ::GetFileAttributesW(wide_path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    throw FileSystemError(path, "could not read the password file: Is a directory");
  }
  // A pipe's name opens its pipe, which is then awaited as standard input is.
  const ScopedHandle in(::CreateFileW(wide_path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!in.valid()) throw WindowsError(path, "read the password file", ::GetLastError());
  DWORD error = ERROR_SUCCESS;
  std::optional<SecretBytes> line = ReadLine(in.get(), check_stop, &error);
  if (error != ERROR_SUCCESS) throw WindowsError(path, "read the password file", error);
  return line ? std::move(*line) : SecretBytes();  // an empty file holds the empty password
}

bool StandardInputIsTerminal() {
  DWORD mode = 0;
  return ::GetConsoleMode(::GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

std::optional<SecretBytes> PromptForPassword(const std::string& file, bool previous_was_wrong,
                                             const std::function<void()>& check_stop) {
  const ScopedHandle in = OpenConsole(L"CONIN$"), out = OpenConsole(L"CONOUT$");
  DWORD mode = 0;
  if (!in.valid() || !out.valid() || !::GetConsoleMode(in.get(), &mode)) return std::nullopt;
  std::optional<SecretWide> line;
  try {
    // Echo goes off before the prompt shows, so nothing typed after it is shown.
    const EchoOff echo_off(in.get(), mode);
    if (previous_was_wrong) Write(out.get(), L"The password is wrong.\n");
    Write(out.get(), L"Password for " + Wide(PrintableText(file)) + L": ");
    line = ReadConsoleLine(in.get(), check_stop);
  } catch (...) {
    Write(out.get(), L"\n");
    throw;
  }
  Write(out.get(), L"\n");
  if (!line) return std::nullopt;
  return SecretUtf8(line->data(), line->size());
}

}  // namespace zerova
