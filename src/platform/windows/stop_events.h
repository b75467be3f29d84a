// What the Windows pieces of the command line share with the handler of the
// console's events (stop_signals.cpp): the console whose echo a second stop
// puts back, and the handler itself, which the tests call as Windows would.
#ifndef ZEROVA_PLATFORM_WINDOWS_STOP_EVENTS_H_
#define ZEROVA_PLATFORM_WINDOWS_STOP_EVENTS_H_

#include <windows.h>

namespace zerova {

// While the console input `console` has its echo off: a second stop puts
// `mode` back on it before it ends the program. RestoreConsole puts it back
// and ends that; each waits for a second stop that is under way (which then
// ends the program, the mode put back).
void RestoreConsoleOnEnd(HANDLE console, DWORD mode);
void RestoreConsole();

// What Windows calls, on a thread of its own, for each of the console's
// events (CTRL_C_EVENT and the others); CatchStopSignals installs it.
BOOL WINAPI OnConsoleEvent(DWORD event);

}  // namespace zerova

#endif  // ZEROVA_PLATFORM_WINDOWS_STOP_EVENTS_H_
