// The window's GDI handles, each released by its owner: GDI objects (fonts,
// brushes, pens, bitmaps) deleted, an object selected into a device context
// put back, a memory device context deleted, a window's or the screen's
// device context released, and a paint's context ended; and the layout's
// colours as GDI takes them.
#ifndef ZEROVA_WINDOW_WIN32_GDI_HANDLES_H_
#define ZEROVA_WINDOW_WIN32_GDI_HANDLES_H_

#include <windows.h>

#include <memory>
#include <type_traits>

#include "window/form2_layout.h"

namespace zerova {

struct GdiObjectDeleter {
  void operator()(void* object) const { ::DeleteObject(static_cast<HGDIOBJ>(object)); }
};
// A GDI object of type T (HFONT, HBRUSH, HPEN, HBITMAP), deleted when it goes.
template <class T>
using GdiObject = std::unique_ptr<std::remove_pointer_t<T>, GdiObjectDeleter>;
using FontHandle = GdiObject<HFONT>;
using BrushHandle = GdiObject<HBRUSH>;
using BitmapHandle = GdiObject<HBITMAP>;

inline COLORREF ColourOf(Rgb rgb) { return RGB(rgb.red, rgb.green, rgb.blue); }

inline BrushHandle SolidBrush(COLORREF colour) { return BrushHandle(::CreateSolidBrush(colour)); }

// `object` selected into `dc` for this scope.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;
  ~Selected() { ::SelectObject(dc_, previous_); }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A memory device context compatible with `dc`.
class MemoryDc {
 public:
  explicit MemoryDc(HDC dc) : dc_(::CreateCompatibleDC(dc)) {}
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  ~MemoryDc() { ::DeleteDC(dc_); }
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// The device context of `window` whole, frame included (null: the screen).
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(::GetWindowDC(window)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() { ::ReleaseDC(window_, dc_); }
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// A WM_PAINT's drawing, from BeginPaint to EndPaint.
class Painting {
 public:
  explicit Painting(HWND window) : window_(window) { ::BeginPaint(window, &paint_); }
  Painting(const Painting&) = delete;
  Painting& operator=(const Painting&) = delete;
  ~Painting() { ::EndPaint(window_, &paint_); }
  HDC dc() const { return paint_.hdc; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
};

}  // namespace zerova

#endif  // ZEROVA_WINDOW_WIN32_GDI_HANDLES_H_
