// A picture of a window as it is drawn on the screen, for the window's
// screenshots (zerova-window --render) and the tests of its look.
#ifndef ZEROVA_WINDOW_WIN32_WINDOW_IMAGE_H_
#define ZEROVA_WINDOW_WIN32_WINDOW_IMAGE_H_

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "window/form2_layout.h"

namespace zerova {

struct WindowImage {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, row by row from the top

  Rgb At(int x, int y) const {
    const std::uint32_t pixel = pixels[static_cast<std::size_t>(y * width + x)];
    return {static_cast<std::uint8_t>(pixel >> 16), static_cast<std::uint8_t>(pixel >> 8),
            static_cast<std::uint8_t>(pixel)};
  }
};

// `window` drawn anew, with its children, then copied from its device
// context: its client area, or the whole window with its frame and title.
// REQUIRES: the window is shown.
WindowImage CaptureWindow(HWND window, bool with_frame);

// Writes `image` as a PNG file at `path` (through the Windows Imaging
// Component); false when it cannot. REQUIRES: COM on this thread.
bool WritePng(const WindowImage& image, const std::wstring& path);

}  // namespace zerova

#endif  // ZEROVA_WINDOW_WIN32_WINDOW_IMAGE_H_
