#include "window/win32/window_image.h"

#include <wincodec.h>

#include <memory>

#include "window/win32/gdi_handles.h"

namespace zerova {
namespace {

struct Releasing {
  void operator()(IUnknown* object) const { object->Release(); }
};
template <class T>
using ComPointer = std::unique_ptr<T, Releasing>;

// What `make` makes through the T** it is given, or null when it fails.
template <class T, class Make>
ComPointer<T> Made(Make make) {
  T* made = nullptr;
  const HRESULT result = make(&made);
  return ComPointer<T>(SUCCEEDED(result) ? made : nullptr);
}

}  // namespace

WindowImage CaptureWindow(HWND window, bool with_frame) {
  ::RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT area;
  if (with_frame) {
    ::GetWindowRect(window, &area);
  } else {
    ::GetClientRect(window, &area);
  }
  WindowImage image;
  image.width = area.right - area.left;
  image.height = area.bottom - area.top;
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = image.width;
  format.bmiHeader.biHeight = -image.height;  // from the top
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;

  const HDC source = with_frame ? ::GetWindowDC(window) : ::GetDC(window);
  void* bits = nullptr;
  const BitmapHandle bitmap(::CreateDIBSection(source, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (bitmap != nullptr) {
    const MemoryDc memory(source);
    const Selected selected(memory.get(), bitmap.get());
    ::BitBlt(memory.get(), 0, 0, image.width, image.height, source, 0, 0, SRCCOPY);
    ::GdiFlush();
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    image.pixels.assign(pixels, pixels + image.width * image.height);
    for (std::uint32_t& pixel : image.pixels) pixel &= 0xFFFFFF;
  }
  ::ReleaseDC(window, source);
  return image;
}

bool WritePng(const WindowImage& image, const std::wstring& path) {
  const auto factory = Made<IWICImagingFactory>([](IWICImagingFactory** made) {
    return ::CoCreateInstance(CLSID_WICImagingFactory1, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(made));
  });
  if (!factory || image.pixels.empty()) return false;
  const auto stream =
      Made<IWICStream>([&](IWICStream** made) { return factory->CreateStream(made); });
  const auto encoder = Made<IWICBitmapEncoder>([&](IWICBitmapEncoder** made) {
    return factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, made);
  });
  if (!stream || !encoder || FAILED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) ||
      FAILED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)))
    return false;
  ComPointer<IPropertyBag2> options;
  const auto frame = Made<IWICBitmapFrameEncode>([&](IWICBitmapFrameEncode** made) {
    IPropertyBag2* made_options = nullptr;
    const HRESULT result = encoder->CreateNewFrame(made, &made_options);
    options.reset(made_options);
    return result;
  });
  // Three bytes a pixel, blue first, as every PNG encoder takes them.
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  const UINT stride = static_cast<UINT>(image.width) * 3;
  std::vector<BYTE> bytes;
  bytes.reserve(image.pixels.size() * 3);
  for (const std::uint32_t pixel : image.pixels) {
    bytes.insert(bytes.end(), {static_cast<BYTE>(pixel), static_cast<BYTE>(pixel >> 8),
                               static_cast<BYTE>(pixel >> 16)});
  }
  return frame && SUCCEEDED(frame->Initialize(options.get())) &&
         SUCCEEDED(
             frame->SetSize(static_cast<UINT>(image.width), static_cast<UINT>(image.height))) &&
         SUCCEEDED(frame->SetPixelFormat(&format)) &&
         IsEqualGUID(format, GUID_WICPixelFormat24bppBGR) &&
         SUCCEEDED(frame->WritePixels(static_cast<UINT>(image.height), stride,
                                      static_cast<UINT>(bytes.size()), bytes.data())) &&
         SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

}  // namespace zerova
