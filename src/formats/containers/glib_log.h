// Quiet GLib logging: keeps the messages GLib and libgsf log on their own (warnings
// about a damaged compound file, failed checks) off stderr.
//
// The program prints exactly one line when it refuses a file; a reader that fails
// after such a message may fold the last one into its own error text.
#ifndef ZEROVA_FORMATS_CONTAINERS_GLIB_LOG_H_
#define ZEROVA_FORMATS_CONTAINERS_GLIB_LOG_H_

#include <string>
#include <string_view>

namespace zerova {

// Routes every GLib log message (both the classic and the structured API) to a
// handler that keeps it in memory instead of printing it, and drops g_printerr output. Installs the
// handler on the first call only; later calls do nothing. Safe to call from any thread.
void QuietGLibLog();

// `text` on one line: each run of white space, line breaks included, becomes one
// space, and none leads or trails. GLib's messages may span several lines.
std::string OneLine(std::string_view text);

// Forgets the message kept for the calling thread.
void ClearLastGLibMessage();

// The last message GLib logged on the calling thread since ClearLastGLibMessage,
// made OneLine, or "" when there was none.
std::string LastGLibMessage();

}  // namespace zerova

#endif  // ZEROVA_FORMATS_CONTAINERS_GLIB_LOG_H_
