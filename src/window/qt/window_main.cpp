// zerova-window: the program's window. `zerova` starts it when given no file,
// and `zerova --from-menu [FILE]` as the desktop starts it.
//
//   zerova-window [FILE]           shows the window, with FILE chosen when one
//                                  is given, until the program ends
//   zerova-window --render PNG [--dark] [FILE]
//                                  draws the window, with FILE chosen, in a frame
//                                  that shows its title, on a light (or a dark)
//                                  desktop, into the image PNG and exits; for
//                                  screenshots
#include <unistd.h>

#include <QApplication>
#include <QByteArray>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPalette>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "window/qt/form2_window.h"

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

struct Arguments {
  std::optional<QString> file;
  std::optional<QString> render_path;  // --render
  bool dark = false;                   // --dark
};

// Parses the command line; nullopt when it is not one of the forms above.
std::optional<Arguments> Parse(int argc, char** argv) {
  Arguments arguments;
  int i = 1;
  if (i + 1 < argc && std::strcmp(argv[i], "--render") == 0) {
    arguments.render_path = QString::fromLocal8Bit(argv[i + 1]);
    i += 2;
    if (i < argc && std::strcmp(argv[i], "--dark") == 0) {
      arguments.dark = true;
      ++i;
    }
  }
  if (i < argc && argv[i][0] != '-') arguments.file = QString::fromLocal8Bit(argv[i++]);
  if (i != argc) return std::nullopt;
  return arguments;
}

// The desktop's colours, Fusion's own or `dark` ones, in which Fusion draws
// the frame (its title bar in the highlight colour).
void PaintDesktop(bool dark) {
  QApplication::setStyle(QStringLiteral("Fusion"));
  if (!dark) return;
  QPalette palette(QColor(0x31, 0x36, 0x3b), QColor(0x2a, 0x2e, 0x32));
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
    palette.setColor(role, QColor(0xfc, 0xfc, 0xfc));
  palette.setColor(QPalette::Highlight, QColor(0x30, 0x30, 0x30));
  QApplication::setPalette(palette);
}

// Draws a new window, with `file` chosen when there is one, in a frame that
// shows its title, into the PNG at `path`; returns the exit status.
int Render(const Arguments& arguments) {
  PaintDesktop(arguments.dark);
  QMdiArea desktop;
  auto* form = new zerova::Form2Window;  // the desktop's
  QMdiSubWindow* frame = desktop.addSubWindow(form);
  if (arguments.file) {
    // The failure box would wait for a user; there is none.
    const QFileInfo file(*arguments.file);
    if (!file.isFile() || !file.isReadable()) {
      std::fprintf(stderr, "zerova-window: %s: not a file that can be read\n",
                   qPrintable(*arguments.file));
      return 1;
    }
    form->OpenFile(*arguments.file);
  }
  frame->setWindowTitle(form->windowTitle());
  frame->adjustSize();
  desktop.resize(frame->size());
  desktop.show();
  if (!frame->grab().save(*arguments.render_path, "PNG")) {
    std::fprintf(stderr, "zerova-window: %s: could not write the image\n",
                 qPrintable(*arguments.render_path));
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<Arguments> arguments = Parse(argc, argv);
  if (!arguments) {
    std::fprintf(stderr, "usage: zerova-window [--render PNG [--dark]] [FILE]\n");
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

  if (arguments->render_path) return Render(*arguments);

  zerova::Form2Window form;
  // The window's icon for the program as a whole: its message boxes and dialogs.
  QGuiApplication::setWindowIcon(form.windowIcon());
  form.show();
  // Once the window is up, so that a failure box for the file stands over it.
  if (arguments->file) {
    QMetaObject::invokeMethod(
        &form, [&form, file = *arguments->file] { form.OpenFile(file); }, Qt::QueuedConnection);
  }
  return app.exec();
}
