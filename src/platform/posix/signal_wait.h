// What the POSIX pieces of the command line share with the stop signals'
// handler (stop_signals.cpp): waiting for input without losing a signal, and
// the terminal whose echo a second signal turns back on.
#ifndef ZEROVA_PLATFORM_POSIX_SIGNAL_WAIT_H_
#define ZEROVA_PLATFORM_POSIX_SIGNAL_WAIT_H_

#include <termios.h>

#include <functional>

namespace zerova {

// While the terminal `fd` has its echo off: a second signal puts `settings`
// back on it before it ends the program. ForgetTerminal ends that.
void RestoreTerminalOnEnd(int fd, const termios& settings);
void ForgetTerminal();

// Waits until `fd` has input, or its end, calling `on_wake` first and after
// every signal that interrupts the wait, so that a stop is noticed while nothing
// comes (`on_wake` throws to end the wait). No signal is lost between the call
// and the wait. Returns false, with errno set, when the wait itself fails.
bool WaitForInput(int fd, const std::function<void()>& on_wake);

}  // namespace zerova

#endif  // ZEROVA_PLATFORM_POSIX_SIGNAL_WAIT_H_
