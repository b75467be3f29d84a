#include "formats/containers/glib_log.h"

#include <glib.h>

#include <mutex>

namespace zerova {
namespace {

// The classic API (g_log, g_warning, g_return_if_fail) ends here.
void DropLogMessage(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

// The structured API (g_log_structured, and g_log when GLib forwards it) ends here.
GLogWriterOutput DropStructuredMessage(GLogLevelFlags, const GLogField*, gsize, gpointer) {
  return G_LOG_WRITER_HANDLED;
}

}  // namespace

void QuietGLibLog() {
  static std::once_flag once;
  std::call_once(once, [] {
    g_log_set_default_handler(DropLogMessage, nullptr);
    // GLib accepts a writer only once per process; the once flag makes this the only call.
    g_log_set_writer_func(DropStructuredMessage, nullptr, nullptr);
    // libgsf also prints some details of damaged files with g_printerr (a zip's
    // "Header is 0x..."); the program's own one line says what is wrong.
    g_set_printerr_handler([](const gchar*) {});
  });
}

}  // namespace zerova
