// Form2Window's controls, made from Form2's layout, and the window's icon.
#include <QFont>
#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QPalette>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>

#include "window/qt/form2_window.h"

namespace zerova {
namespace {

QColor ColourOf(Rgb rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

QRect ToRect(Twips place, int dpi) {
  const PixelRect pixels = ToPixels(place, dpi);
  return QRect(pixels.left, pixels.top, pixels.width, pixels.height);
}

// Every colour the window and its controls draw with, whatever the desktop's
// theme: a light palette (Qt's own), with the window's back colour and the
// buttons' face and disabled caption. Each role is set, so none is taken from
// the application's palette, a dark one included.
QPalette WindowPalette() {
  struct Shade {
    QPalette::ColorRole role;
    QRgb normal, disabled;
  };
  static constexpr Shade kShades[] = {
      {QPalette::WindowText, 0x000000, 0xbebebe},
      {QPalette::Button, 0xefefef, 0xefefef},
      {QPalette::Light, 0xffffff, 0xffffff},
      {QPalette::Midlight, 0xcacaca, 0xcacaca},
      {QPalette::Dark, 0x9f9f9f, 0xbebebe},
      {QPalette::Mid, 0xb8b8b8, 0xb8b8b8},
      {QPalette::Text, 0x000000, 0xbebebe},
      {QPalette::BrightText, 0xffffff, 0xffffff},
      {QPalette::ButtonText, 0x000000, 0xbebebe},
      {QPalette::Base, 0xffffff, 0xefefef},
      {QPalette::Window, 0xefefef, 0xefefef},
      {QPalette::Shadow, 0x767676, 0xb1b1b1},
      {QPalette::Highlight, 0x308cc6, 0x919191},
      {QPalette::HighlightedText, 0xffffff, 0xffffff},
      {QPalette::Link, 0x0000ff, 0x0000ff},
      {QPalette::LinkVisited, 0xff00ff, 0xff00ff},
      {QPalette::AlternateBase, 0xf7f7f7, 0xf7f7f7},
      {QPalette::ToolTipBase, 0xffffdc, 0xffffdc},
      {QPalette::ToolTipText, 0x000000, 0x000000},
      {QPalette::PlaceholderText, 0x000000, 0x000000},
  };
  QPalette palette;
  for (const Shade& shade : kShades) {
    palette.setColor(QPalette::Active, shade.role, QColor(shade.normal));
    palette.setColor(QPalette::Inactive, shade.role, QColor(shade.normal));
    palette.setColor(QPalette::Disabled, shade.role, QColor(shade.disabled));
  }
  palette.setColor(QPalette::Window, ColourOf(kBackColour));
  palette.setColor(QPalette::Button, ColourOf(kButtonFace));
  palette.setColor(QPalette::Disabled, QPalette::ButtonText, ColourOf(kDisabledCaption));
  return palette;
}

QFont FontOf(const Font& font) {
  QFont qt_font(QString::fromLatin1(font.face));
  qt_font.setPointSizeF(font.points);
  qt_font.setWeight(font.bold ? QFont::Bold : QFont::Normal);
  qt_font.setItalic(font.italic);
  qt_font.setUnderline(false);
  qt_font.setStrikeOut(false);
  return qt_font;
}

// `colour` for `role` in the colour groups given.
void SetColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour,
               std::initializer_list<QPalette::ColorGroup> groups) {
  QPalette palette = widget->palette();
  for (QPalette::ColorGroup group : groups) palette.setColor(group, role, colour);
  widget->setPalette(palette);
}
constexpr std::initializer_list<QPalette::ColorGroup> kEveryGroup = {
    QPalette::Active, QPalette::Inactive, QPalette::Disabled};

QLabel* NewLabel(const ControlLayout& layout, QWidget* parent) {
  auto* label = new QLabel(QString::fromLatin1(layout.caption), parent);
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  label->setAlignment((layout.centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
  label->setAutoFillBackground(false);  // transparent: the window's colour shows
  label->setFrameShape(QFrame::NoFrame);
  SetColour(label, QPalette::WindowText, ColourOf(layout.colour), kEveryGroup);
  return label;
}

}  // namespace

// Drawn by the window's style, not the desktop's: a button's face and text in
// the window's colours (the Windows style paints the face flat), the progress
// bar's figure beside the bar in the window's text colour on its back colour.
QWidget* Form2Window::CreateControl(const ControlLayout& layout, int dpi) {
  QWidget* widget = nullptr;
  switch (layout.kind) {
    case ControlKind::kFrame: {
      auto* frame = new QFrame(this);
      frame->setFrameStyle(QFrame::Box | QFrame::Plain);
      frame->setLineWidth(1);
      SetColour(frame, QPalette::WindowText, ColourOf(layout.colour), kEveryGroup);
      widget = frame;
      break;
    }
    case ControlKind::kLabel:
      widget = NewLabel(layout, this);
      break;
    case ControlKind::kButton: {
      auto* button = new QPushButton(QString::fromLatin1(layout.caption), this);
      if (own_style_ != nullptr) button->setStyle(own_style_);
      button->setAutoDefault(false);
      button->setDefault(false);
      button->installEventFilter(this);  // Enter presses it
      SetColour(button, QPalette::ButtonText, ColourOf(layout.colour),
                {QPalette::Active, QPalette::Inactive});
      const Control control = layout.control;
      connect(button, &QPushButton::clicked, this, [this, control] { form_->Click(control); });
      widget = button;
      break;
    }
    case ControlKind::kProgressBar: {
      auto* bar = new QProgressBar(this);
      bar->setRange(0, kProgressMaximum);
      SetColour(bar, QPalette::Highlight, ColourOf(layout.colour), kEveryGroup);
      if (own_style_ != nullptr) bar->setStyle(own_style_);
      widget = bar;
      break;
    }
  }
  widget->setObjectName(QString::fromLatin1(layout.name));
  widget->setGeometry(ToRect(layout.place, dpi));
  if (layout.font.face != nullptr) widget->setFont(FontOf(layout.font));
  if (*layout.accessible_name != '\0')
    widget->setAccessibleName(QString::fromLatin1(layout.accessible_name));
  return widget;
}

void Form2Window::CreateControls() {
  setWindowTitle(QString::fromLatin1(kFormCaption));
  // The icon the desktop's theme has for the program, else the one built in.
  setWindowIcon(
      QIcon::fromTheme(QStringLiteral("zerova"), QIcon(QStringLiteral(":/icons/zerova.svg"))));
  const int dpi = logicalDpiY();
  setFixedSize(ToRect(kClientArea, dpi).size());
  setPalette(WindowPalette());
  setAutoFillBackground(true);

  own_style_ = QStyleFactory::create(QStringLiteral("Windows"));
  if (own_style_ != nullptr) own_style_->setParent(this);

  QWidget* previous_stop = nullptr;
  for (const ControlLayout& layout : Form2Controls()) {
    QWidget* widget = CreateControl(layout, dpi);
    widgets_[static_cast<std::size_t>(layout.control)] = widget;
    if (layout.tab_stop && previous_stop != nullptr) setTabOrder(previous_stop, widget);
    if (layout.tab_stop) previous_stop = widget;
  }
  Command1 = qobject_cast<QPushButton*>(Widget(Control::kCommand1));
  Command2 = qobject_cast<QPushButton*>(Widget(Control::kCommand2));
  Command3 = qobject_cast<QPushButton*>(Widget(Control::kCommand3));
  Label1 = qobject_cast<QLabel*>(Widget(Control::kLabel1));
  Label2 = qobject_cast<QLabel*>(Widget(Control::kLabel2));
  Label3 = qobject_cast<QLabel*>(Widget(Control::kLabel3));
  Label4 = qobject_cast<QLabel*>(Widget(Control::kLabel4));
  Label5 = qobject_cast<QLabel*>(Widget(Control::kLabel5));
  Shape1 = qobject_cast<QFrame*>(Widget(Control::kShape1));
  ProgressBar1 = qobject_cast<QProgressBar*>(Widget(Control::kProgressBar1));

  // Centred on the screen the window starts on.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

}  // namespace zerova
