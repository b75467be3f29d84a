// Form2's fixed layout: every control's place, caption, font and colour.
#include <QFont>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPalette>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>

#include "ui/form2.h"

namespace zerova {
namespace {

// Positions and sizes are laid out in twips; Qt takes device-independent pixels.
constexpr int kTwipsPerPixel = 15;

constexpr int Pixels(int twips) { return twips / kTwipsPerPixel; }

struct Place {
  int left, top, width, height;  // twips
};

QRect ToPixels(Place place) {
  return QRect(Pixels(place.left), Pixels(place.top), Pixels(place.width), Pixels(place.height));
}

constexpr int kClientWidth = 8985;
constexpr int kClientHeight = 3945;
const QColor kBackColour(255, 192, 128);
const QColor kButtonFace(255, 128, 0);

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
  // The face is filled with the button's own colour; the text keeps the
  // system's button-text colour. The Windows style paints the face flat.
  SetColour(button, QPalette::Button, kButtonFace);
  if (button_style_ != nullptr) button->setStyle(button_style_);
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
  setFixedSize(Pixels(kClientWidth), Pixels(kClientHeight));
  SetColour(this, QPalette::Window, kBackColour);
  setAutoFillBackground(true);

  button_style_ = QStyleFactory::create(QStringLiteral("Windows"));
  if (button_style_ != nullptr) button_style_->setParent(this);

  // Created back to front: the frame lies under everything.
  Shape1 = new QFrame(this);
  Shape1->setObjectName(QStringLiteral("Shape1"));
  Shape1->setFrameStyle(QFrame::Box | QFrame::Plain);
  Shape1->setLineWidth(1);
  Shape1->setGeometry(ToPixels({120, 120, 8775, 3735}));

  Label2 = CreateLabel("Label2", "Zerova");
  Label2->setGeometry(ToPixels({3240, 240, 2415, 375}));
  Label2->setFont(Verdana(12, Weight::kBold));
  Label2->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  SetColour(Label2, QPalette::WindowText, QColor(192, 0, 0));

  // Buttons in tab order, Convert first: with it disabled, Select takes the focus.
  Command1 = CreateButton("Command1", "Convert to XML");
  Command1->setGeometry(ToPixels({3240, 1200, 2415, 375}));
  Command2 = CreateButton("Command2", "Select Your Excel");
  Command2->setGeometry(ToPixels({3240, 720, 2415, 375}));
  Command3 = CreateButton("Command3", "Exit");
  Command3->setGeometry(ToPixels({3240, 1680, 2415, 375}));
  setTabOrder(Command1, Command2);
  setTabOrder(Command2, Command3);

  Label4 = CreateLabel("Label4", "Note: The Excel file should conform to the following format:");
  Label4->setGeometry(ToPixels({360, 2280, 8415, 255}));
  Label4->setFont(Verdana(9.75, Weight::kRegular));
  SetColour(Label4, QPalette::WindowText, QColor(128, 0, 0));

  Label5 = CreateLabel(
      "Label5",
      "The first row will contain the node labels, and the column corresponding to it will "
      "contain the node values.");
  Label5->setGeometry(ToPixels({360, 2640, 8415, 495}));
  Label5->setFont(Verdana(9.75, Weight::kRegular, Slant::kItalic));
  SetColour(Label5, QPalette::WindowText, QColor(0, 0, 255));

  Label3 = CreateLabel("Label3", "Processing . . . . . . . . ");
  Label3->setGeometry(ToPixels({2880, 3240, 2655, 255}));
  Label3->setFont(Verdana(9.75, Weight::kBold));
  SetColour(Label3, QPalette::WindowText, QColor(0, 64, 0));

  // In the frame's free space right of the progress line, clear of every other
  // control; counts thousandths of the document's lines.
  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
  ProgressBar1->setGeometry(ToPixels({5760, 3240, 2880, 240}));
  ProgressBar1->setRange(0, 1000);
  ProgressBar1->setFont(Verdana(8.25, Weight::kRegular));
  SetColour(ProgressBar1, QPalette::Highlight, QColor(0, 64, 0));

  Label1 = CreateLabel("Label1", "");
  Label1->setGeometry(ToPixels({2160, 3480, 3975, 255}));
  Label1->setFont(Verdana(9.75, Weight::kBold));
  SetColour(Label1, QPalette::WindowText, palette().color(QPalette::ButtonText));

  // Centred on the screen the window starts on.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

}  // namespace zerova
