// How Form2 looks and how it describes itself, on the offscreen platform: its
// colours under a dark theme, its captions inside their controls at the font
// dpi the test runs with (ctest runs it at 96 dpi, and at 144 dpi twice: with
// Qt's own scaling off, as where the desktop sets a larger font dpi, and on, where
// Qt scales the whole window and the layout sees 96 dpi), its icon and its
// accessible role and names.
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include "window/form2.h"

namespace zerova {
namespace {

// A dark theme as desktops give it, for every widget and, as some platform
// themes do, for labels and buttons apart.
QPalette DarkPalette() {
  QPalette dark(QColor(0x31, 0x36, 0x3b), QColor(0x2a, 0x2e, 0x32));
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
    dark.setColor(role, QColor(0xfc, 0xfc, 0xfc));
  dark.setColor(QPalette::Base, QColor(0x1b, 0x1e, 0x20));
  return dark;
}

void SetApplicationPalette(const QPalette& palette) {
  QApplication::setPalette(palette);
  for (const char* type : {"QLabel", "QPushButton", "QProgressBar"})
    QApplication::setPalette(palette, type);
}

}  // namespace

class Form2LookTest : public QObject {
  Q_OBJECT

  QPalette light_;  // the application's, as the test starts

 private slots:
  void initTestCase() { light_ = QApplication::palette(); }
  void cleanup() { SetApplicationPalette(light_); }

  // Each caption keeps its colour under a dark theme, set before the window is
  // made or while it is shown, as is the window's back colour: nothing turns
  // white on the orange.
  void KeepsItsColoursOnADarkTheme_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("title") << "Label2" << QColor(192, 0, 0);
    QTest::newRow("note") << "Label4" << QColor(128, 0, 0);
    QTest::newRow("format help") << "Label5" << QColor(0, 0, 255);
    QTest::newRow("progress line") << "Label3" << QColor(0, 64, 0);
    QTest::newRow("credit line") << "Label1" << QColor(0, 0, 0);
    QTest::newRow("Convert") << "Command1" << QColor(0, 0, 0);
    QTest::newRow("Select") << "Command2" << QColor(0, 0, 0);
    QTest::newRow("Exit") << "Command3" << QColor(0, 0, 0);
    QTest::newRow("progress bar") << "ProgressBar1" << QColor(0, 0, 0);
  }
  void KeepsItsColoursOnADarkTheme() {
    QFETCH(QString, control);
    QFETCH(QColor, colour);
    for (bool dark_first : {true, false}) {
      if (dark_first) SetApplicationPalette(DarkPalette());
      Form2 form;
      form.show();
      if (!dark_first) SetApplicationPalette(DarkPalette());
      auto* widget = form.findChild<QWidget*>(control);
      QVERIFY(widget != nullptr);
      const QPalette& palette = widget->palette();
      const QPalette::ColorRole text = qobject_cast<QPushButton*>(widget)    ? QPalette::ButtonText
                                       : qobject_cast<QProgressBar*>(widget) ? QPalette::Text
                                                                             : QPalette::WindowText;
      QCOMPARE(palette.color(QPalette::Active, text), colour);
      QCOMPARE(palette.color(QPalette::Inactive, text), colour);
      QCOMPARE(form.palette().color(QPalette::Window), QColor(255, 192, 128));
      QCOMPARE(form.Command1->palette().color(QPalette::Button), QColor(255, 128, 0));
    }
  }

  // Every caption fits its control at the font dpi of this run: the layout
  // grows with it, and at 96 dpi every control stands where it always has, to
  // the pixel.
  void CaptionsFitTheirControls_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QRect>("at96dpi");
    QTest::newRow("title") << "Label2" << QRect(216, 16, 161, 25);
    QTest::newRow("Select") << "Command2" << QRect(216, 48, 161, 25);
    QTest::newRow("Convert") << "Command1" << QRect(216, 80, 161, 25);
    QTest::newRow("Exit") << "Command3" << QRect(216, 112, 161, 25);
    QTest::newRow("note") << "Label4" << QRect(24, 152, 561, 17);
    QTest::newRow("format help") << "Label5" << QRect(24, 176, 561, 33);
    QTest::newRow("progress line") << "Label3" << QRect(192, 216, 177, 17);
    QTest::newRow("progress bar") << "ProgressBar1" << QRect(384, 216, 192, 16);
    QTest::newRow("window") << "" << QRect(0, 0, 599, 263);
  }
  void CaptionsFitTheirControls() {
    QFETCH(QString, control);
    QFETCH(QRect, at96dpi);
    Form2 form;
    auto* widget = control.isEmpty() ? &form : form.findChild<QWidget*>(control);
    QVERIFY(widget != nullptr);
    const int dpi = form.logicalDpiY();
    QString caption;
    QRect room = widget->contentsRect();
    if (auto* label = qobject_cast<QLabel*>(widget)) caption = label->text();
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
      caption = button->text();
      room = room.adjusted(4, 4, -4, -4);  // the button's bevel
    }
    if (auto* bar = qobject_cast<QProgressBar*>(widget)) {
      bar->setValue(bar->maximum());
      caption = bar->text();
    }
    const QRect needed = widget->fontMetrics().boundingRect(
        room, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, caption);
    QVERIFY2(room.contains(needed),
             qPrintable(QStringLiteral("%1 at %2 dpi needs %3 x %4 of %5 x %6")
                            .arg(caption)
                            .arg(dpi)
                            .arg(needed.width())
                            .arg(needed.height())
                            .arg(room.width())
                            .arg(room.height())));
    const auto scaled = [dpi](int pixels) { return pixels * dpi / 96; };
    const QRect place =
        widget->isWindow() ? QRect(QPoint(0, 0), widget->size()) : widget->geometry();
    QCOMPARE(place, QRect(scaled(at96dpi.x()), scaled(at96dpi.y()), scaled(at96dpi.width()),
                          scaled(at96dpi.height())));
  }

  // Assistive tools see a window named Zerova with a named progress bar; the
  // desktop shows the program's own icon (the built-in one: no theme is loaded here).
  void DescribesItselfToTheDesktop() {
    Form2 form;
    form.show();
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&form);
    QVERIFY(window != nullptr);
    QCOMPARE(window->role(), QAccessible::Window);
    QCOMPARE(window->text(QAccessible::Name), QStringLiteral("Zerova"));
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(form.ProgressBar1);
    QVERIFY(bar != nullptr);
    QCOMPARE(bar->role(), QAccessible::ProgressBar);
    QCOMPARE(bar->text(QAccessible::Name), QStringLiteral("Conversion progress"));
    QCOMPARE(window->indexOfChild(bar) >= 0, true);

    // The icon's back colour, left of its sheet, and its sheet's white.
    const QImage icon = form.windowIcon().pixmap(QSize(64, 64), 1.0).toImage();
    QCOMPARE(icon.size(), QSize(64, 64));
    QCOMPARE(icon.pixelColor(6, 32), QColor(0xff, 0xc0, 0x80));
    QCOMPARE(icon.pixelColor(20, 15), QColor(Qt::white));
  }
};

}  // namespace zerova

QTEST_MAIN(zerova::Form2LookTest)
#include "form2_look_test.moc"
