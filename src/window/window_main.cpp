// zerova-window: the program's window. `zerova` starts it when given no file.
//
//   zerova-window                  shows the window until the program ends
//   zerova-window --render FILE    draws the window in its start state into the
//                                  image FILE (PNG) and exits; for screenshots
#include <unistd.h>

#include <QApplication>
#include <QByteArray>
#include <QGuiApplication>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "window/form2.h"

namespace {

// Qt's messages while it connects to the display. Qt ends the program (abort)
// when no display can be opened; we say so in one line and exit with status 1.
QByteArray* startup_messages = nullptr;

[[noreturn]] void NoDisplay(const char* detail) {
  std::fprintf(stderr, "zerova: cannot open the window: %s; give a FILE to convert without one\n",
               detail);
  std::fflush(stderr);
  _exit(1);
}

void StartupMessageHandler(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtFatalMsg) {
    const char* display = std::getenv("DISPLAY");
    const QByteArray detail = display != nullptr && *display != '\0'
                                  ? QByteArray("no display at DISPLAY=") + display
                                  : QByteArray("no display to show it on");
    NoDisplay(detail.constData());
  }
  startup_messages->append(message.toLocal8Bit()).append('\n');
}

// True when Qt will be asked for a display it has no name for.
bool NoDisplayNamed() {
  const auto set = [](const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
  };
  return !set("QT_QPA_PLATFORM") && !set("DISPLAY") && !set("WAYLAND_DISPLAY");
}

}  // namespace

int main(int argc, char** argv) {
  std::optional<QString> render_path;
  if (argc == 3 && std::strcmp(argv[1], "--render") == 0) {
    render_path = QString::fromLocal8Bit(argv[2]);
  } else if (argc != 1) {
    std::fprintf(stderr, "usage: zerova-window [--render FILE.png]\n");
    return 2;
  }
  if (NoDisplayNamed()) NoDisplay("no display to show it on (DISPLAY is not set)");

  QByteArray messages;
  startup_messages = &messages;
  qInstallMessageHandler(StartupMessageHandler);
  QApplication app(argc, argv);
  qInstallMessageHandler(nullptr);
  if (!messages.isEmpty()) std::fputs(messages.constData(), stderr);
  // Our .desktop entry, for the desktop's task bar. The display name stays unset,
  // so the window's title is its own.
  QGuiApplication::setDesktopFileName(QStringLiteral("zerova"));

  zerova::Form2 form;
  // The window's icon for the program as a whole: its message boxes and dialogs.
  QGuiApplication::setWindowIcon(form.windowIcon());
  if (render_path) {
    if (!form.grab().save(*render_path, "PNG")) {
      std::fprintf(stderr, "zerova-window: %s: could not write the image\n", argv[2]);
      return 1;
    }
    return 0;
  }
  form.show();
  return app.exec();
}
