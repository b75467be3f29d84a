// Quiet GLib logging: keeps the messages GLib and libgsf log on their own (warnings
// about a damaged compound file, failed checks) off stderr.
//
// The program prints exactly one line when it refuses a file, in its own words: a
// reader that fails says what it found, never what the library logged.
#ifndef ZEROVA_FORMATS_CONTAINERS_GLIB_LOG_H_
#define ZEROVA_FORMATS_CONTAINERS_GLIB_LOG_H_

namespace zerova {

// Routes every GLib log message (both the classic and the structured API) to a
// handler that drops it, and drops g_printerr output. Installs the handlers on
// the first call only; later calls do nothing. Safe to call from any thread.
void QuietGLibLog();

}  // namespace zerova

#endif  // ZEROVA_FORMATS_CONTAINERS_GLIB_LOG_H_
