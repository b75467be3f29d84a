// Form2Window's controls, made from Form2's layout at the window's dpi, and
// made again at another dpi when the window moves to another screen.
#include "window/win32/form2_window.h"
// After windows.h:
#include <commctrl.h>
#include <uxtheme.h>

#include <cmath>
#include <vector>

#include "window/win32/utf16.h"

namespace zerova {
namespace {

constexpr int kFirstId = 100;  // a control's id is kFirstId plus its place in the layout

FontHandle FontOf(const Font& font, int dpi) {
  if (font.face == nullptr) return nullptr;
  const int height = -static_cast<int>(std::lround(font.points * dpi / 72.0));
  return FontHandle(::CreateFontW(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, font.italic,
                                  FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                                  Utf16Of(font.face).c_str()));
}

// The window class and style of a control of `layout`; no class for the frame.
std::pair<const wchar_t*, DWORD> ClassOf(const ControlLayout& layout) {
  const DWORD tab_stop = layout.tab_stop ? WS_TABSTOP : 0;
  switch (layout.kind) {
    case ControlKind::kButton:
      return {WC_BUTTONW, BS_OWNERDRAW | tab_stop};
    case ControlKind::kLabel:  // SS_NOTIFY: the pointer resting on it shows its tooltip
      return {WC_STATICW, (layout.centred ? SS_CENTER : SS_LEFT) | SS_NOPREFIX | SS_NOTIFY};
    case ControlKind::kProgressBar:
      return {PROGRESS_CLASSW, PBS_SMOOTH};
    case ControlKind::kFrame:
      break;
  }
  return {nullptr, 0};
}

// The bar in the layout's colour, which visual styles would not draw: its
// theme is turned off (" " names no theme class; Wine keeps the theme for "").
void PaintBarItsOwnWay(HWND bar, const ControlLayout& layout) {
  ::SetWindowTheme(bar, L" ", L" ");
  ::SendMessageW(bar, PBM_SETRANGE32, 0, kProgressMaximum);
  ::SendMessageW(bar, PBM_SETBARCOLOR, 0, static_cast<LPARAM>(ColourOf(layout.colour)));
}

}  // namespace

// In the layout's order, which is the tab order: each new child window goes
// below those made before it.
void Form2Window::CreateControls() {
  const UINT dpi = ::GetDpiForWindow(window_);
  dpi_ = dpi != 0 ? static_cast<int>(dpi) : USER_DEFAULT_SCREEN_DPI;
  back_ = SolidBrush(ColourOf(kBackColour));
  face_ = SolidBrush(ColourOf(kButtonFace));
  frame_ = SolidBrush(ColourOf(LayoutOf(Control::kShape1).colour));
  for (const ControlLayout& layout : Form2Controls()) {
    const auto [window_class, style] = ClassOf(layout);
    if (window_class == nullptr) continue;
    const int id = kFirstId + static_cast<int>(Index(layout.control));
    const HWND child = ::CreateWindowExW(0, window_class, Utf16Of(layout.caption).c_str(),
                                         WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, window_,
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                         ::GetModuleHandleW(nullptr), nullptr);
    controls_[Index(layout.control)] = child;
    if (layout.kind == ControlKind::kProgressBar) PaintBarItsOwnWay(child, layout);
  }
  LayOut(dpi_);
  PlaceWindow();
}

void Form2Window::LayOut(int dpi) {
  dpi_ = dpi;
  for (const ControlLayout& layout : Form2Controls()) {
    const HWND child = controls_[Index(layout.control)];
    if (child == nullptr) continue;
    const PixelRect place = ToPixels(layout.place, dpi);
    ::MoveWindow(child, place.left, place.top, place.width, place.height, TRUE);
    FontHandle font = FontOf(layout.font, dpi);
    ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    fonts_[Index(layout.control)] = std::move(font);  // the old one, no longer in use, goes
  }
}

// The window's size for its client area at its dpi, centred on the primary screen.
void Form2Window::PlaceWindow() {
  const PixelRect client = ToPixels(kClientArea, dpi_);
  RECT frame = {0, 0, client.width, client.height};
  ::AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(::GetWindowLongPtrW(window_, GWL_STYLE)),
                             FALSE, 0, static_cast<UINT>(dpi_));
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  MONITORINFO screen{};
  screen.cbSize = sizeof screen;
  ::GetMonitorInfoW(::MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &screen);
  const RECT& work = screen.rcWork;
  ::SetWindowPos(window_, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// The system suggests the window's new place; the controls follow its dpi.
void Form2Window::OnDpiChanged(int dpi, const RECT& suggested) {
  LayOut(dpi);
  ::SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  ::InvalidateRect(window_, nullptr, TRUE);
}

Control Form2Window::ControlOf(HWND child) const {
  for (const ControlLayout& layout : Form2Controls()) {
    if (child != nullptr && controls_[Index(layout.control)] == child) return layout.control;
  }
  return Control::kShape1;
}

HWND Form2Window::TabStopAfter(HWND current) const {
  std::vector<HWND> stops;
  for (const ControlLayout& layout : Form2Controls()) {
    if (layout.tab_stop) stops.push_back(controls_[Index(layout.control)]);
  }
  std::size_t at = stops.size() - 1;  // before the first, when `current` is no stop
  for (std::size_t i = 0; i < stops.size(); ++i) {
    if (stops[i] == current) at = i;
  }
  for (std::size_t step = 1; step <= stops.size(); ++step) {
    const HWND next = stops[(at + step) % stops.size()];
    if (::IsWindowEnabled(next) && ::IsWindowVisible(next)) return next;
  }
  return nullptr;
}

}  // namespace zerova
