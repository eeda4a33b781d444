#include "ui/picture_win32.h"

#include <cstring>
#include <string>

#include "base/error.h"
#include "base/system_message_win32.h"
#include "ui/form1_layout.h"
#include "ui/gdiplus_functions_win32.h"
#include "ui/window_handles_win32.h"

namespace {

constexpr wchar_t kPictureClass[] = L"TImage";

std::wstring StatusText(Gdiplus::GpStatus status) { return L"GDI+ status " + std::to_wstring(status); }

// GDI+ graphics on a device context, released on every path.
class Graphics {
 public:
  explicit Graphics(HDC dc) {
    if (Gdip().GdipCreateFromHDC(dc, &graphics_) != Gdiplus::Ok) graphics_ = nullptr;
  }
  Graphics(const Graphics&) = delete;
  Graphics& operator=(const Graphics&) = delete;
  ~Graphics() {
    if (graphics_) Gdip().GdipDeleteGraphics(graphics_);
  }
  Gdiplus::GpGraphics* get() const { return graphics_; }

 private:
  Gdiplus::GpGraphics* graphics_ = nullptr;
};

}  // namespace

GdiplusSession::GdiplusSession() {
  Gdiplus::GdiplusStartupInput input{};
  input.GdiplusVersion = 1;
  const Gdiplus::GpStatus status = Gdip().GdiplusStartup(&token_, &input, nullptr);
  if (status != Gdiplus::Ok) throw Error(L"Cannot start GDI+. " + StatusText(status));
}

GdiplusSession::~GdiplusSession() { Gdip().GdiplusShutdown(token_); }

PngPicture::PngPicture(HMODULE module, const wchar_t* name) {
  HRSRC found = ::FindResourceW(module, name, MAKEINTRESOURCEW(10));  // RT_RCDATA
  HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
  const void* data = loaded ? ::LockResource(loaded) : nullptr;
  if (!data) {
    const DWORD code = ::GetLastError();
    throw Error(std::wstring(L"Cannot read the picture resource ") + name + L". " + SystemMessage(code));
  }
  const DWORD size = ::SizeofResource(module, found);
  // The stream owns a movable copy: GDI+ decodes lazily and may read it at any time.
  HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE, size);
  if (!copy) throw Error(std::wstring(L"Cannot copy the picture resource ") + name + L". Not enough memory");
  std::memcpy(::GlobalLock(copy), data, size);
  ::GlobalUnlock(copy);
  const HRESULT created = ::CreateStreamOnHGlobal(copy, TRUE, &stream_);
  if (FAILED(created)) {
    ::GlobalFree(copy);
    throw Error(std::wstring(L"Cannot open the picture resource ") + name + L". " +
                SystemMessage(static_cast<DWORD>(created)));
  }
  Gdiplus::GpBitmap* bitmap = nullptr;
  const Gdiplus::GpStatus status = Gdip().GdipCreateBitmapFromStream(stream_, &bitmap);
  if (status != Gdiplus::Ok) {
    stream_->Release();
    throw Error(std::wstring(L"Cannot decode the picture resource ") + name + L". " + StatusText(status));
  }
  bitmap_ = bitmap;
  UINT width = 0, height = 0;
  Gdip().GdipGetImageWidth(bitmap, &width);
  Gdip().GdipGetImageHeight(bitmap, &height);
  width_ = static_cast<int>(width);
  height_ = static_cast<int>(height);
}

PngPicture::~PngPicture() {
  Gdip().GdipDisposeImage(static_cast<Gdiplus::GpBitmap*>(bitmap_));
  stream_->Release();
}

void PngPicture::Draw(HDC dc, int x, int y, int width, int height) const {
  Graphics graphics(dc);
  if (!graphics.get()) return;
  if (width != width_ || height != height_) {
    Gdip().GdipSetInterpolationMode(graphics.get(), Gdiplus::InterpolationModeHighQualityBicubic);
    // Pixel centres, not corners, are mapped: the edges' pixels are not cut in half.
    Gdip().GdipSetPixelOffsetMode(graphics.get(), Gdiplus::PixelOffsetModeHighQuality);
  }
  // Width and height given, so that the picture's own resolution does not scale it.
  Gdip().GdipDrawImageRectI(graphics.get(), static_cast<Gdiplus::GpBitmap*>(bitmap_), x, y, width, height);
}

LRESULT PictureControl::HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;  // painted whole in WM_PAINT, so the banner does not flicker on resizing
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(hwnd, &ps);
      RECT client;
      ::GetClientRect(hwnd, &client);
      ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
      if (picture_) {
        picture_->Draw(dc, 0, 0, ScaledLength(picture_->Width(), dpi_), ScaledLength(picture_->Height(), dpi_));
      }
      ::EndPaint(hwnd, &ps);
      return 0;
    }
  }
  return ::DefWindowProcW(hwnd, msg, wp, lp);
}

const wchar_t* PictureControl::ClassName(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kPictureClass;
  return RegisterClassOnce(wc);
}
