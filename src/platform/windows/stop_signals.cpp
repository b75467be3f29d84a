// The stop signals on Windows: the console's events, as the signals they stand
// for. Ctrl+C is SIGINT, Ctrl+Break SIGTERM, and the closing of the console
// (or the user's logging off, or the system's shutting down) SIGHUP. Windows
// calls the handler on a thread of its own while the work goes on, so a second
// stop and SayLast take one lock in turn; the second stop, once it has it,
// keeps it: the program ends in its hands.
#include "services/stop_signals.h"

#include <windows.h>

#include <atomic>
#include <string_view>
#include <utility>

#include "platform/windows/stop_events.h"
#include "platform/windows/wide_text.h"

namespace zerova {
namespace {

// The numbers POSIX gives the signals that the events stand for.
constexpr int kHangUp = 1;      // SIGHUP
constexpr int kInterrupt = 2;   // SIGINT
constexpr int kTerminate = 15;  // SIGTERM

// How long the work has to stop on its own once the console closes: Windows
// ends the program some 5 s after that event, whatever the handler does.
constexpr DWORD kCloseGraceMilliseconds = 3000;

// The first stop signal, read by whichever thread asks whether to stop.
std::atomic<int> first_signal{0};

// Held by SayLast and by the console's echo while they work, and by a second
// stop from the moment it acts until the program has ended.
SRWLOCK last_lock = SRWLOCK_INIT;

class LastLockHeld {
 public:
  LastLockHeld() { ::AcquireSRWLockExclusive(&last_lock); }
  LastLockHeld(const LastLockHeld&) = delete;
  LastLockHeld& operator=(const LastLockHeld&) = delete;
  ~LastLockHeld() { ::ReleaseSRWLockExclusive(&last_lock); }
};

// The console input whose mode a second stop puts back, under last_lock.
HANDLE echo_console = nullptr;
DWORD echo_mode = 0;

// The signal that `event` stands for; 0 for an event that is no stop.
int SignalOf(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
      return kInterrupt;
    case CTRL_BREAK_EVENT:
      return kTerminate;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      return kHangUp;
    default:
      return 0;
  }
}

}  // namespace

// The words a second stop says. Whoever takes them out of `armed` with an
// exchange owns them: the main code frees what it takes back, the handler
// never frees (the program ends).
namespace {

std::atomic<LastWords::Words*> armed{nullptr};

// `text` as the C runtime's text mode writes it: each LF as CR LF.
std::string WithCrLf(std::string_view text) {
  std::string written;
  for (const char c : text) {
    if (c == '\n') written.push_back('\r');
    written.push_back(c);
  }
  return written;
}

// Writes `text` to standard error: to the console as UTF-16 text (whatever
// its code page; what is no UTF-8 shows as U+FFFD), elsewhere as the rest of
// the program's messages go.
void WriteToStandardError(std::string_view text) {
  const HANDLE error = ::GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0, done = 0;
  if (!::GetConsoleMode(error, &mode)) {
    const std::string bytes = WithCrLf(text);
    for (std::size_t at = 0; at < bytes.size(); at += done) {
      const DWORD size = static_cast<DWORD>(bytes.size() - at);
      if (!::WriteFile(error, bytes.data() + at, size, &done, nullptr) || done == 0) return;
    }
    return;
  }
  const int size = static_cast<int>(text.size());
  std::wstring wide(static_cast<std::size_t>(size), L'\0');  // never more than the bytes
  wide.resize(static_cast<std::size_t>(
      ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), size)));
  for (std::size_t at = 0; at < wide.size(); at += done) {
    const DWORD size_left = static_cast<DWORD>(wide.size() - at);
    if (!::WriteConsoleW(error, wide.data() + at, size_left, &done, nullptr) || done == 0) return;
  }
}

// Removes the file at `words.removable` when it is still the file `words.id`:
// looked at and deleted through one handle, so that the file deleted is the
// file looked at, whatever happens to the name meanwhile. A link there is
// looked at itself, never followed.
void RemoveIfStillOurs(const LastWords::Words& words) {
  if (words.removable.empty()) return;
  std::wstring path;
  try {
    path = WidePath(words.removable);
  } catch (const Error&) {
    return;  // no name of a file on Windows
  }
  const ScopedHandle file(::CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT,
                                        nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  if (!file.valid() || !::GetFileInformationByHandle(file.get(), &info)) return;
  const FileId id{info.dwVolumeSerialNumber,
                  (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
  if (id != words.id) return;
  // Gone once the last handle on it closes: the work's own, as the program ends.
  FILE_DISPOSITION_INFO disposition{TRUE};
  ::SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition, sizeof disposition);
}

// A second stop: puts the console's echo back, removes the file the work has
// begun, says the armed words and ends the program at once, as a signal
// would: no exit handler of the C runtime runs, and nothing waits for a lock
// that the work, stopped wherever it was, may hold.
[[noreturn]] void EndBy(int signal) {
  ::AcquireSRWLockExclusive(&last_lock);  // never released: the program ends holding it
  if (echo_console != nullptr) ::SetConsoleMode(echo_console, echo_mode);
  if (const LastWords::Words* words = armed.exchange(nullptr); words != nullptr) {
    RemoveIfStillOurs(*words);
    WriteToStandardError(words->line);
  }
  ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(128 + signal));
  ::ExitProcess(static_cast<UINT>(128 + signal));  // not reached
}

}  // namespace

BOOL WINAPI OnConsoleEvent(DWORD event) {
  const int signal = SignalOf(event);
  if (signal == 0) return FALSE;  // the next handler's, or the system's
  if (int none = 0; first_signal.compare_exchange_strong(none, signal)) {
    if (signal != kHangUp) return TRUE;  // noted: the work stops at its next question
    // The console goes, and no second event will come: the work has a while
    // to stop on its own (its end ends this thread), then this is the second.
    ::Sleep(kCloseGraceMilliseconds);
  }
  EndBy(signal);
}

StopSignalsNamed NameStopSignals() {
  return {"Ctrl+C, Ctrl+Break and closing the console", "Ctrl+C or Ctrl+Break",
          "130 when Ctrl+C stopped it, 143 when Ctrl+Break did, 129 when the console was closed"};
}

void CatchStopSignals() {
  // A Ctrl+C that the parent left ignored (a program started in a new process
  // group, or after SetConsoleCtrlHandler(nullptr, TRUE)) stays ignored with
  // no look at it here: the flag is inherited, and Windows then calls no
  // handler for Ctrl+C, this one included. Ctrl+Break and the closing of the
  // console cannot be ignored on Windows.
  ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

int StopSignal() { return first_signal.load(); }

void ArmLastWords(LastWords::Words* words) { delete armed.exchange(words); }

void SayLast(const std::string& line) {
  const LastLockHeld held;
  WriteToStandardError(line);
  ArmLastWords(nullptr);
}

void RestoreConsoleOnEnd(HANDLE console, DWORD mode) {
  const LastLockHeld held;
  echo_console = console;
  echo_mode = mode;
}

void RestoreConsole() {
  const LastLockHeld held;
  if (echo_console != nullptr) ::SetConsoleMode(echo_console, echo_mode);
  echo_console = nullptr;
}

}  // namespace zerova
