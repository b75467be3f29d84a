#include "formats/containers/glib_log.h"

#include <glib.h>

#include <mutex>
#include <string_view>

namespace zerova {
namespace {

thread_local std::string last_message;

void Keep(const char* message) { last_message = message != nullptr ? OneLine(message) : ""; }

// The classic API (g_log, g_warning, g_return_if_fail) ends here.
void KeepLogMessage(const gchar*, GLogLevelFlags, const gchar* message, gpointer) { Keep(message); }

// The structured API (g_log_structured, and g_log when GLib forwards it) ends here.
GLogWriterOutput KeepStructuredMessage(GLogLevelFlags, const GLogField* fields, gsize n_fields,
                                       gpointer) {
  for (gsize i = 0; i < n_fields; ++i) {
    if (g_strcmp0(fields[i].key, "MESSAGE") == 0 && fields[i].length < 0) {
      Keep(static_cast<const char*>(fields[i].value));
      break;
    }
  }
  return G_LOG_WRITER_HANDLED;
}

}  // namespace

std::string OneLine(std::string_view text) {
  std::string line;
  bool space = false;
  for (char c : text) {
    if (g_ascii_isspace(c)) {
      space = true;
      continue;
    }
    if (space && !line.empty()) line.push_back(' ');
    space = false;
    line.push_back(c);
  }
  return line;
}

void QuietGLibLog() {
  static std::once_flag once;
  std::call_once(once, [] {
    g_log_set_default_handler(KeepLogMessage, nullptr);
    // GLib accepts a writer only once per process; the once flag makes this the only call.
    g_log_set_writer_func(KeepStructuredMessage, nullptr, nullptr);
    // libgsf also prints some details of damaged files with g_printerr (a zip's
    // "Header is 0x..."); the program's own one line says what is wrong.
    g_set_printerr_handler([](const gchar*) {});
  });
}

void ClearLastGLibMessage() { last_message.clear(); }

std::string LastGLibMessage() { return last_message; }

}  // namespace zerova
