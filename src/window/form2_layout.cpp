// Form2's fixed layout: every control's place, caption, font and colour, and
// the window's icon.
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

#include "window/form2.h"

namespace zerova {
namespace {

// Positions and sizes are laid out in twips, 1440 to an inch, for fonts of
// `dpi` dots per inch: 15 twips to a pixel at 96 dpi. So the controls grow with
// their fonts where the font dpi is set higher than the screen's scale (Qt
// scales both alike on a high-DPI screen, where the dpi stays 96).
constexpr int kTwipsPerInch = 1440;

struct Place {
  int left, top, width, height;  // twips
};

QRect ToPixels(Place place, int dpi) {
  const auto pixels = [dpi](int twips) { return twips * dpi / kTwipsPerInch; };
  return QRect(pixels(place.left), pixels(place.top), pixels(place.width), pixels(place.height));
}

constexpr int kClientWidth = 8985;
constexpr int kClientHeight = 3945;
const QColor kBackColour(255, 192, 128);
const QColor kButtonFace(255, 128, 0);

// Every colour the window and its controls draw with, whatever the desktop's
// theme: a light palette (Qt's own), with the window's back colour and the
// buttons' face. Each role is set, so none is taken from the application's
// palette, a dark one included. A disabled caption is the face's orange made
// dark: it reads as disabled beside the black of an enabled one, yet stands
// out from the face at 3.3:1 (Qt's grey stood at 1.4:1).
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
      {QPalette::ButtonText, 0x000000, 0x7a3d00},
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
  palette.setColor(QPalette::Window, kBackColour);
  palette.setColor(QPalette::Button, kButtonFace);
  return palette;
}

enum class Weight { kRegular, kBold };
enum class Slant { kUpright, kItalic };

QFont Verdana(double points, Weight weight, Slant slant = Slant::kUpright) {
  QFont font(QStringLiteral("Verdana"));
  font.setPointSizeF(points);
  font.setWeight(weight == Weight::kBold ? QFont::Bold : QFont::Normal);
  font.setItalic(slant == Slant::kItalic);
  font.setUnderline(false);
  font.setStrikeOut(false);
  return font;
}

void SetColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(role, colour);
  widget->setPalette(palette);
}

}  // namespace

QPushButton* Form2::CreateButton(const char* name, const char* caption) {
  auto* button = new QPushButton(QString::fromLatin1(caption), this);
  button->setObjectName(QString::fromLatin1(name));
  button->setFont(Verdana(9.75, Weight::kBold));
  // The face and text take the window's colours. The Windows style paints the
  // face flat.
  if (own_style_ != nullptr) button->setStyle(own_style_);
  button->setAutoDefault(false);
  button->setDefault(false);
  button->installEventFilter(this);  // Enter presses it
  return button;
}

QLabel* Form2::CreateLabel(const char* name, const char* caption) {
  auto* label = new QLabel(QString::fromLatin1(caption), this);
  label->setObjectName(QString::fromLatin1(name));
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setAutoFillBackground(false);  // transparent: the window's colour shows
  label->setFrameShape(QFrame::NoFrame);
  return label;
}

void Form2::CreateControls() {
  setWindowTitle(QStringLiteral("Zerova"));
  // The icon the desktop's theme has for the program, else the one built in.
  setWindowIcon(
      QIcon::fromTheme(QStringLiteral("zerova"), QIcon(QStringLiteral(":/icons/zerova.svg"))));
  const int dpi = logicalDpiY();
  setFixedSize(ToPixels({0, 0, kClientWidth, kClientHeight}, dpi).size());
  setPalette(WindowPalette());
  setAutoFillBackground(true);

  own_style_ = QStyleFactory::create(QStringLiteral("Windows"));
  if (own_style_ != nullptr) own_style_->setParent(this);

  // Created back to front: the frame lies under everything.
  Shape1 = new QFrame(this);
  Shape1->setObjectName(QStringLiteral("Shape1"));
  Shape1->setFrameStyle(QFrame::Box | QFrame::Plain);
  Shape1->setLineWidth(1);
  Shape1->setGeometry(ToPixels({120, 120, 8775, 3735}, dpi));

  Label2 = CreateLabel("Label2", "Zerova");
  Label2->setGeometry(ToPixels({3240, 240, 2415, 375}, dpi));
  Label2->setFont(Verdana(12, Weight::kBold));
  Label2->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  SetColour(Label2, QPalette::WindowText, QColor(192, 0, 0));

  // Buttons in tab order, Convert first: with it disabled, Select takes the focus.
  Command1 = CreateButton("Command1", "Convert to XML");
  Command1->setGeometry(ToPixels({3240, 1200, 2415, 375}, dpi));
  Command2 = CreateButton("Command2", "Select Your Excel");
  Command2->setGeometry(ToPixels({3240, 720, 2415, 375}, dpi));
  Command3 = CreateButton("Command3", "Exit");
  Command3->setGeometry(ToPixels({3240, 1680, 2415, 375}, dpi));
  setTabOrder(Command1, Command2);
  setTabOrder(Command2, Command3);

  Label4 = CreateLabel("Label4", "Note: The Excel file should conform to the following format:");
  Label4->setGeometry(ToPixels({360, 2280, 8415, 255}, dpi));
  Label4->setFont(Verdana(9.75, Weight::kRegular));
  SetColour(Label4, QPalette::WindowText, QColor(128, 0, 0));

  Label5 = CreateLabel(
      "Label5",
      "The first row will contain the node labels, and the column corresponding to it will "
      "contain the node values.");
  Label5->setGeometry(ToPixels({360, 2640, 8415, 495}, dpi));
  Label5->setFont(Verdana(9.75, Weight::kRegular, Slant::kItalic));
  SetColour(Label5, QPalette::WindowText, QColor(0, 0, 255));

  Label3 = CreateLabel("Label3", "Processing . . . . . . . . ");
  Label3->setGeometry(ToPixels({2880, 3240, 2655, 255}, dpi));
  Label3->setFont(Verdana(9.75, Weight::kBold));
  SetColour(Label3, QPalette::WindowText, QColor(0, 64, 0));

  // In the frame's free space right of the progress line, clear of every other
  // control; counts thousandths of the document's lines.
  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
  ProgressBar1->setGeometry(ToPixels({5760, 3240, 2880, 240}, dpi));
  ProgressBar1->setRange(0, 1000);
  ProgressBar1->setFont(Verdana(8.25, Weight::kRegular));
  ProgressBar1->setAccessibleName(QStringLiteral("Conversion progress"));
  SetColour(ProgressBar1, QPalette::Highlight, QColor(0, 64, 0));
  // Drawn by the window's style, not the desktop's: the figure beside the bar
  // in the window's text colour on its back colour, whatever the theme.
  if (own_style_ != nullptr) ProgressBar1->setStyle(own_style_);

  Label1 = CreateLabel("Label1", "");
  Label1->setGeometry(ToPixels({2160, 3480, 3975, 255}, dpi));
  Label1->setFont(Verdana(9.75, Weight::kBold));
  SetColour(Label1, QPalette::WindowText, Qt::black);

  // Centred on the screen the window starts on.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

}  // namespace zerova
