#include "window/form2_layout.h"

#include <array>

namespace zerova {
namespace {

constexpr int kTwipsPerInch = 1440;

constexpr Rgb kBlack = {0, 0, 0};
constexpr Font kCaptionFont = {"Verdana", 9.75, true, false};
constexpr Font kNoteFont = {"Verdana", 9.75, false, false};

// Buttons in tab order, Convert first: with it disabled, Select takes the focus.
// The progress bar stands in the frame's free space right of the progress line,
// clear of every other control.
constexpr std::array<ControlLayout, kControlCount> kControls = {{
    {Control::kShape1,
     ControlKind::kFrame,
     "Shape1",
     {120, 120, 8775, 3735},
     "",
     {nullptr, 0, false, false},
     kBlack,
     false,
     "",
     false},
    {Control::kLabel2,
     ControlKind::kLabel,
     "Label2",
     {3240, 240, 2415, 375},
     "Zerova",
     {"Verdana", 12, true, false},
     {192, 0, 0},
     true,
     "",
     false},
    {Control::kCommand1,
     ControlKind::kButton,
     "Command1",
     {3240, 1200, 2415, 375},
     "Convert to XML",
     kCaptionFont,
     kBlack,
     false,
     "",
     true},
    {Control::kCommand2,
     ControlKind::kButton,
     "Command2",
     {3240, 720, 2415, 375},
     "Select Your Excel",
     kCaptionFont,
     kBlack,
     false,
     "",
     true},
    {Control::kCommand3,
     ControlKind::kButton,
     "Command3",
     {3240, 1680, 2415, 375},
     "Exit",
     kCaptionFont,
     kBlack,
     false,
     "",
     true},
    {Control::kLabel4,
     ControlKind::kLabel,
     "Label4",
     {360, 2280, 8415, 255},
     "Note: The Excel file should conform to the following format:",
     kNoteFont,
     {128, 0, 0},
     false,
     "",
     false},
    {Control::kLabel5,
     ControlKind::kLabel,
     "Label5",
     {360, 2640, 8415, 495},
     "The first row will contain the node labels, and the column corresponding to it will "
     "contain the node values.",
     {"Verdana", 9.75, false, true},
     {0, 0, 255},
     false,
     "",
     false},
    {Control::kLabel3,
     ControlKind::kLabel,
     "Label3",
     {2880, 3240, 2655, 255},
     "Processing . . . . . . . . ",
     kCaptionFont,
     {0, 64, 0},
     false,
     "",
     false},
    {Control::kProgressBar1,
     ControlKind::kProgressBar,
     "ProgressBar1",
     {5760, 3240, 2880, 240},
     "",
     {"Verdana", 8.25, false, false},
     {0, 64, 0},
     false,
     "Conversion progress",
     false},
    {Control::kLabel1,
     ControlKind::kLabel,
     "Label1",
     {2160, 3480, 3975, 255},
     "",
     kCaptionFont,
     kBlack,
     false,
     "",
     false},
}};

constexpr bool InControlOrder() {
  for (std::size_t i = 0; i < kControls.size(); ++i) {
    if (static_cast<std::size_t>(kControls[i].control) != i) return false;
  }
  return true;
}
static_assert(InControlOrder(), "the table lists the controls in Control's order");

}  // namespace

PixelRect ToPixels(Twips place, int dpi) {
  const auto pixels = [dpi](int twips) { return twips * dpi / kTwipsPerInch; };
  return {pixels(place.left), pixels(place.top), pixels(place.width), pixels(place.height)};
}

std::span<const ControlLayout> Form2Controls() { return kControls; }

const ControlLayout& LayoutOf(Control control) {
  return kControls[static_cast<std::size_t>(control)];
}

}  // namespace zerova
