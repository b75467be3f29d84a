// Reading input as it comes, on Windows: a pipe is looked into (PeekNamedPipe)
// until it holds bytes, the console waited on until a key is pressed, in short
// steps, asking between them whether to stop; a disk file or a device is read
// at once, since its bytes are there already.
#include "platform/windows/input_reader.h"

#include <algorithm>

namespace zerova {
namespace {

// True iff the first event at `console` is a key press that a read takes; the
// events before it, which a read would wait past, are taken out of the way.
// True as well when the console cannot say: the read then tells why.
bool KeyPressFirst(HANDLE console) {
  INPUT_RECORD record;
  DWORD count = 0;
  while (::PeekConsoleInputW(console, &record, 1, &count)) {
    if (count == 0) return false;
    const KEY_EVENT_RECORD& key = record.Event.KeyEvent;
    if (record.EventType == KEY_EVENT && key.bKeyDown && key.uChar.UnicodeChar != 0) return true;
    if (!::ReadConsoleInputW(console, &record, 1, &count)) return true;
  }
  return true;
}

// True iff the pipe's writer has gone (or, for a named pipe, hung up).
bool IsPipeEnd(DWORD error) {
  return error == ERROR_BROKEN_PIPE || error == ERROR_PIPE_NOT_CONNECTED;
}

// How many times a look into a pipe that found nothing is followed by a mere
// yield of the processor, before the pauses begin.
constexpr int kYields = 16;

// The pause after the `round`th look that found nothing: a few yields, for a
// writer that is about to write, then sleeps growing from 1 ms to
// kWakeMilliseconds, so that a writer only a little slower than the reading
// does not make it sleep long (a sleep lasts a tick of the system's clock,
// up to some 16 ms, at least).
void Pause(int round) {
  if (round < kYields) {
    ::SwitchToThread();
    return;
  }
  const DWORD sleep = DWORD{1} << std::min(round - kYields, 6);
  ::Sleep(std::min(sleep, kWakeMilliseconds));
}

// Waits until `pipe` holds bytes, and sets `*available` to how many: 0 once
// its writer has gone.
bool WaitForPipe(HANDLE pipe, DWORD* available, const std::function<void()>& on_wake) {
  for (int round = 0;; ++round) {
    on_wake();
    if (!::PeekNamedPipe(pipe, nullptr, 0, nullptr, available, nullptr)) {
      *available = 0;
      return IsPipeEnd(::GetLastError());
    }
    if (*available > 0) return true;
    Pause(round);
  }
}

}  // namespace

bool WaitForKey(HANDLE console, const std::function<void()>& on_wake) {
  for (;;) {
    on_wake();
    if (KeyPressFirst(console)) return true;
    if (::WaitForSingleObject(console, kWakeMilliseconds) == WAIT_FAILED) return false;
  }
}

InputReader::InputReader(HANDLE handle) : handle_(handle), kind_(Kind::kOther) {
  DWORD mode = 0;
  const DWORD type = ::GetFileType(handle);
  if (type == FILE_TYPE_PIPE) kind_ = Kind::kPipe;
  if (type == FILE_TYPE_CHAR && ::GetConsoleMode(handle, &mode)) kind_ = Kind::kConsole;
}

bool InputReader::Read(void* to, DWORD count, DWORD* got, const std::function<void()>& on_wake) {
  *got = 0;
  if (kind_ == Kind::kPipe) return ReadFromPipe(to, count, got, on_wake);
  if (kind_ == Kind::kConsole) return ReadFromConsole(to, count, got, on_wake);
  on_wake();
  if (::ReadFile(handle_, to, count, got, nullptr)) return true;
  return ::GetLastError() == ERROR_HANDLE_EOF || IsPipeEnd(::GetLastError());
}

bool InputReader::ReadFromPipe(void* to, DWORD count, DWORD* got,
                               const std::function<void()>& on_wake) {
  DWORD available = 0;
  if (!WaitForPipe(handle_, &available, on_wake)) {
    if (::GetLastError() != ERROR_NOT_SUPPORTED) return false;
    // A pipe that cannot be looked into (another system's, passed on by a
    // compatibility layer) is read as it is: a stop then waits for its next
    // bytes, or its end.
    kind_ = Kind::kOther;
    return Read(to, count, got, on_wake);
  }
  if (available == 0) return true;
  // No more than the pipe holds, so that the read cannot wait.
  if (::ReadFile(handle_, to, std::min(count, available), got, nullptr)) return true;
  return IsPipeEnd(::GetLastError());
}

bool InputReader::ReadFromConsole(void* to, DWORD count, DWORD* got,
                                  const std::function<void()>& on_wake) {
  for (;;) {
    if (rest_of_line_) {
      on_wake();
    } else if (!WaitForKey(handle_, on_wake)) {
      return false;
    }
    ::SetLastError(ERROR_SUCCESS);
    const bool read = ::ReadFile(handle_, to, count, got, nullptr) != 0;
    // Ctrl+C breaks off the read, with nothing read: the stop is asked about
    // before the next wait. Nothing read otherwise is the end (Ctrl+Z).
    if (::GetLastError() == ERROR_OPERATION_ABORTED) {
      rest_of_line_ = false;
      continue;
    }
    rest_of_line_ = read && *got > 0 && static_cast<const char*>(to)[*got - 1] != '\n';
    return read;
  }
}

}  // namespace zerova
