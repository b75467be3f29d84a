// Reading what comes when it comes (a pipe, the console) with the stop in
// mind, shared by the Windows pieces of the command line. Windows has no
// signal that breaks off a wait, so every wait asks again, every little while,
// whether to stop.
#ifndef ZEROVA_PLATFORM_WINDOWS_INPUT_READER_H_
#define ZEROVA_PLATFORM_WINDOWS_INPUT_READER_H_

#include <windows.h>

#include <functional>

namespace zerova {

// The longest a wait for input goes on without asking whether to stop.
inline constexpr DWORD kWakeMilliseconds = 50;

// Waits until a key press waits at the console input `console` (or the
// console cannot say), calling `on_wake` first and then every
// kWakeMilliseconds; `on_wake` throws to end the wait. Other events (a key's
// release, the mouse, a change of focus) are taken out of the way. Returns
// false, GetLastError() telling why, when the wait itself fails.
bool WaitForKey(HANDLE console, const std::function<void()>& on_wake);

// Reads `handle` (a pipe, the console, a disk file or a device), which stays
// open and is not closed by it.
class InputReader {
 public:
  explicit InputReader(HANDLE handle);

  // Reads up to `count` bytes into `to` once some have come, and sets `*got`
  // to how many: 0 at the end of the input (a pipe's writer gone, Ctrl+Z at
  // the console). Calls `on_wake` as WaitForKey does while nothing comes, and
  // again after Ctrl+C breaks off a read at the console. Returns false,
  // GetLastError() telling why, when the handle cannot be read.
  bool Read(void* to, DWORD count, DWORD* got, const std::function<void()>& on_wake);

 private:
  enum class Kind { kPipe, kConsole, kOther };

  bool ReadFromPipe(void* to, DWORD count, DWORD* got, const std::function<void()>& on_wake);
  bool ReadFromConsole(void* to, DWORD count, DWORD* got, const std::function<void()>& on_wake);

  HANDLE handle_;
  Kind kind_;
  // The console holds the rest of a line that a read has begun, which the
  // next read takes at once: no key press comes for it.
  bool rest_of_line_ = false;
};

}  // namespace zerova

#endif  // ZEROVA_PLATFORM_WINDOWS_INPUT_READER_H_
