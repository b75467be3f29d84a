// Form2's layout: the window's size and colours, and every control's place,
// caption, font, colour and tab order, in one table that each toolkit's view
// draws from. Nothing here depends on a toolkit.
//
// Places are in twips, 1440 to an inch, for fonts of some dots per inch
// (ToPixels): 15 twips to a pixel at 96 dpi. A view lays the controls out at
// the dpi its fonts are drawn at, so they grow with their text where the
// desktop sets a larger font dpi than the screen's scale.
#ifndef ZEROVA_WINDOW_FORM2_LAYOUT_H_
#define ZEROVA_WINDOW_FORM2_LAYOUT_H_

#include <cstddef>
#include <cstdint>
#include <span>

namespace zerova {

// Form2's controls, in the order they are made: back to front, the frame under
// everything. A view makes them in this order.
enum class Control {
  kShape1,        // frame around the layout
  kLabel2,        // title
  kCommand1,      // Convert
  kCommand2,      // Select
  kCommand3,      // Exit
  kLabel4,        // note
  kLabel5,        // format help
  kLabel3,        // progress line
  kProgressBar1,  // beside the progress line, while converting
  kLabel1,        // credit line
};
inline constexpr std::size_t kControlCount = 10;

enum class ControlKind { kFrame, kLabel, kButton, kProgressBar };

struct Rgb {
  std::uint8_t red, green, blue;
};

struct Twips {
  int left, top, width, height;
};

struct PixelRect {
  int left, top, width, height;
};

// `place` at `dpi` dots per inch; each value rounded down on its own.
PixelRect ToPixels(Twips place, int dpi);

struct Font {
  const char* face;  // null: the toolkit's own (the frame, which shows no text)
  double points;
  bool bold;
  bool italic;
};

struct ControlLayout {
  Control control;
  ControlKind kind;
  const char* name;  // the control's name, as the code and its tests know it
  Twips place;
  const char* caption;
  Font font;
  // A label's text, the frame's line, a button's caption while it is enabled
  // (kDisabledCaption while not), the progress bar's fill.
  Rgb colour;
  bool centred;                 // the caption centred, else at the left; always at the top
  const char* accessible_name;  // for screen readers; "" for the caption
  bool tab_stop;                // in tab order, which is the table's order
};

// Every control, in Control's order.
std::span<const ControlLayout> Form2Controls();
const ControlLayout& LayoutOf(Control control);

// The window.
inline constexpr const char* kFormCaption = "Zerova";
inline constexpr Twips kClientArea = {0, 0, 8985, 3945};
inline constexpr Rgb kBackColour = {255, 192, 128};
inline constexpr Rgb kButtonFace = {255, 128, 0};
// A disabled button's caption: the face's orange made dark, so that it reads as
// disabled beside an enabled one's black, yet stands out from the face (3.3:1).
inline constexpr Rgb kDisabledCaption = {0x7a, 0x3d, 0x00};
// The progress bar runs from 0 to this value; it shows the percentage reached.
inline constexpr int kProgressMaximum = 1000;

}  // namespace zerova

#endif  // ZEROVA_WINDOW_FORM2_LAYOUT_H_
