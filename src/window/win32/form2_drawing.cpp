// Form2Window's drawing in the layout's colours: the window's back and frame,
// the owner-drawn buttons, and the labels' text on the back colour.
#include "window/win32/form2_window.h"

namespace zerova {

void Form2Window::DrawBack(HDC dc) const {
  RECT client;
  ::GetClientRect(window_, &client);
  ::FillRect(dc, &client, back_.get());
  const PixelRect frame = ToPixels(LayoutOf(Control::kShape1).place, dpi_);
  const RECT line = {frame.left, frame.top, frame.left + frame.width, frame.top + frame.height};
  ::FrameRect(dc, &line, frame_.get());
}

// The face in the button colour with a raised edge (sunken while pressed), the
// caption centred in the layout's colour, or kDisabledCaption while disabled,
// and a focus rectangle inside the edge.
void Form2Window::DrawButton(const DRAWITEMSTRUCT& item) const {
  const Control control = ControlOf(item.hwndItem);
  const HDC dc = item.hDC;
  RECT face = item.rcItem;
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  ::FillRect(dc, &face, face_.get());
  ::DrawEdge(dc, &face, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);

  const bool enabled = (item.itemState & ODS_DISABLED) == 0;
  ::SetTextColor(dc, ColourOf(enabled ? LayoutOf(control).colour : kDisabledCaption));
  ::SetBkMode(dc, TRANSPARENT);
  const Selected font(dc, fonts_[Index(control)].get());
  wchar_t caption[128] = L"";
  ::GetWindowTextW(item.hwndItem, caption, static_cast<int>(std::size(caption)));
  RECT text = face;
  if (pressed) ::OffsetRect(&text, 1, 1);
  const UINT prefix = (item.itemState & ODS_NOACCEL) != 0 ? DT_HIDEPREFIX : 0;
  ::DrawTextW(dc, caption, -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | prefix);

  if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0) {
    const int inset = 4 * dpi_ / USER_DEFAULT_SCREEN_DPI;
    ::InflateRect(&face, -inset, -inset);
    ::DrawFocusRect(dc, &face);
  }
}

LRESULT Form2Window::ColourLabel(HDC dc, HWND label) const {
  ::SetTextColor(dc, ColourOf(LayoutOf(ControlOf(label)).colour));
  ::SetBkMode(dc, TRANSPARENT);
  return reinterpret_cast<LRESULT>(back_.get());
}

}  // namespace zerova
