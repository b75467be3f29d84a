// How Form2 looks and how it describes itself, on the offscreen platform: its
// colours, fill and contrast under each style installed, on a light and a dark
// theme; its captions inside their controls at the font dpi the test runs with
// (ctest runs it at 96 dpi, and at 144 dpi twice: with Qt's own scaling off, as
// where the desktop sets a larger font dpi, and on, where Qt scales the whole
// window and the layout sees 96 dpi); its icon and its accessible role and names.
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <QtTest>
#include <cmath>
#include <functional>

#include "window/qt/form2_window.h"

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

// The contrast ratio of two colours, from 1 to 21, as WCAG 2 defines it.
double Contrast(const QColor& a, const QColor& b) {
  const auto luminance = [](const QColor& c) {
    const auto linear = [](double v) {
      return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
  };
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// How legible the text of `control` is as the window draws it: the control's
// place is drawn with its text and, through `show_text(false)`, without it.
// For each colour the text stands on (under at least 8 of its pixels), the
// contrast of its strongest pixel against that colour; the lowest of those.
double TextContrast(QWidget& form, QWidget* control, const std::function<void(bool)>& show_text) {
  const QImage with = form.grab(control->geometry()).toImage();
  show_text(false);
  const QImage without = form.grab(control->geometry()).toImage();
  show_text(true);
  QHash<QRgb, double> strongest;
  QHash<QRgb, int> pixels;
  for (int y = 0; y < with.height(); ++y) {
    for (int x = 0; x < with.width(); ++x) {
      const QRgb text = with.pixel(x, y), under = without.pixel(x, y);
      if (text == under) continue;
      strongest[under] = std::max(strongest[under], Contrast(text, under));
      ++pixels[under];
    }
  }
  double lowest = 0;
  for (auto it = strongest.cbegin(); it != strongest.cend(); ++it) {
    if (pixels[it.key()] >= 8 && (lowest == 0 || it.value() < lowest)) lowest = it.value();
  }
  return lowest;
}

double CaptionContrast(QWidget& form, QPushButton* button) {
  const QString caption = button->text();
  return TextContrast(form, button,
                      [&](bool shown) { button->setText(shown ? caption : QString()); });
}

}  // namespace

class Form2LookTest : public QObject {
  Q_OBJECT

  QPalette light_;  // the application's, as the test starts
  QString style_;

 private slots:
  void initTestCase() {
    light_ = QApplication::palette();
    style_ = QApplication::style()->name();
  }
  void cleanup() {
    QApplication::setStyle(style_);
    SetApplicationPalette(light_);
  }

  // Under the default style (none set), Fusion, Windows, and Adwaita and
  // Adwaita-Dark where installed; with a light theme, and a dark one set before
  // the window is made or while it is shown: each caption keeps its colour,
  // and the window its back colour and button face, so nothing turns white on
  // the orange. The progress figure stands out from what it is drawn on
  // (4.5:1 at least), as a disabled caption does (3:1), though less than an
  // enabled one, so it reads as disabled.
  void KeepsItsColoursOnEveryTheme_data() {
    QTest::addColumn<QString>("style");
    QTest::addColumn<int>("dark");  // 0 light, 1 before the window is made, 2 after
    for (const char* style : {"", "Fusion", "Windows", "Adwaita", "Adwaita-Dark"}) {
      for (int dark : {0, 1, 2}) {
        QTest::addRow("%s, %s", *style != '\0' ? style : "default",
                      dark == 0   ? "light"
                      : dark == 1 ? "dark"
                                  : "dark later")
            << QString(style) << dark;
      }
    }
  }
  void KeepsItsColoursOnEveryTheme() {
    QFETCH(QString, style);
    QFETCH(int, dark);
    if (!style.isEmpty() && !QStyleFactory::keys().contains(style))
      QSKIP("the style is not installed");
    if (!style.isEmpty()) QApplication::setStyle(style);
    if (dark == 1) SetApplicationPalette(DarkPalette());
    Form2Window form;
    form.show();
    if (dark == 2) SetApplicationPalette(DarkPalette());
    const std::pair<const char*, QRgb> captions[] = {
        {"Label2", 0xc00000}, {"Label4", 0x800000}, {"Label5", 0x0000ff},
        {"Label3", 0x004000}, {"Label1", 0},        {"Command1", 0},
        {"Command2", 0},      {"Command3", 0},      {"ProgressBar1", 0}};
    for (const auto& [name, colour] : captions) {
      auto* widget = form.findChild<QWidget*>(name);
      QVERIFY(widget != nullptr);
      const QPalette::ColorRole text = qobject_cast<QPushButton*>(widget)    ? QPalette::ButtonText
                                       : qobject_cast<QProgressBar*>(widget) ? QPalette::Text
                                                                             : QPalette::WindowText;
      for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        QVERIFY2(widget->palette().color(group, text) == QColor(colour), name);
    }
    QCOMPARE(form.Command1->palette().color(QPalette::Button), QColor(255, 128, 0));
    // The window's own fill (not the one Qt gives every window), outside the
    // frame and inside it clear of every control.
    QImage shot(form.size(), QImage::Format_RGB32);
    shot.fill(Qt::magenta);
    form.render(&shot, QPoint(), QRegion(), QWidget::DrawChildren);
    const int dpi = form.logicalDpiY();
    QCOMPARE(shot.pixelColor(3 * dpi / 96, 3 * dpi / 96), QColor(255, 192, 128));
    QCOMPARE(shot.pixelColor(100 * dpi / 96, 130 * dpi / 96), QColor(255, 192, 128));

    QProgressBar* bar = form.ProgressBar1;
    bar->show();
    for (int value : {0, 420, 1000}) {
      bar->setValue(value);
      const double figure =
          TextContrast(form, bar, [bar](bool shown) { bar->setFormat(shown ? "%p%" : ""); });
      QVERIFY2(figure >= 4.5, qPrintable(QString("%1: %2:1").arg(bar->text()).arg(figure)));
    }
    const double disabled = CaptionContrast(form, form.Command1);
    const double enabled = CaptionContrast(form, form.Command2);
    QVERIFY2(disabled >= 3 && disabled * 1.5 <= enabled,
             qPrintable(QString("disabled %1:1, enabled %2:1").arg(disabled).arg(enabled)));
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
    Form2Window form;
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
    if (!room.contains(needed)) qWarning() << caption << dpi << "dpi needs" << needed << room;
    QVERIFY(room.contains(needed));
    const auto scaled = [dpi](int pixels) { return pixels * dpi / 96; };
    const QRect place =
        widget->isWindow() ? QRect(QPoint(0, 0), widget->size()) : widget->geometry();
    QCOMPARE(place, QRect(scaled(at96dpi.x()), scaled(at96dpi.y()), scaled(at96dpi.width()),
                          scaled(at96dpi.height())));
  }

  // Assistive tools see a window named Zerova with a named progress bar and no
  // nameless child (the frame and the empty credit line are left out); the
  // desktop shows the program's own icon (the built-in one: no theme is loaded here).
  void DescribesItselfToTheDesktop() {
    Form2Window form;
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
    QCOMPARE(window->childCount(), 8);
    for (int i = 0; i < window->childCount(); ++i)
      QVERIFY(!window->child(i)->text(QAccessible::Name).isEmpty());

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
