#include "window_view.h"

#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <vector>

#include "base/unique_handle_win32.h"
#include "environment.h"
#include "files.h"
#include "polling.h"
#include "window_driver.h"

namespace harness {

namespace {

constexpr DWORD kSendTimeoutMs = 5000;

// The screen's device context for one call.
class ScreenDc {
 public:
  ScreenDc() : dc_(::GetDC(nullptr)) {}
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  ~ScreenDc() {
    if (dc_) ::ReleaseDC(nullptr, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// "/a/b" as Wine's Z: drive shows it.
std::wstring WindowsPathOfUnix(const std::wstring& unix_path) {
  std::wstring path = L"Z:" + unix_path;
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path;
}

// The PNG encoder's class id, as GDI+ lists it; nothing when it has none.
std::optional<CLSID> PngEncoder() {
  UINT count = 0, size = 0;
  Gdiplus::DllExports::GdipGetImageEncodersSize(&count, &size);
  std::string buffer(size, '\0');
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  Gdiplus::DllExports::GdipGetImageEncoders(count, size, codecs);
  for (UINT i = 0; i < count; ++i) {
    if (std::wstring(codecs[i].MimeType) == L"image/png") return codecs[i].Clsid;
  }
  return std::nullopt;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM windows) {
  reinterpret_cast<std::vector<HWND>*>(windows)->push_back(child);
  return TRUE;
}

// A picture of `width` x `height` pixels in memory, drawn on through dc(), in the
// screen's format.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height), memory_(::CreateCompatibleDC(screen_.get())) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    bitmap_ = ::CreateDIBSection(screen_.get(), &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    old_ = ::SelectObject(memory_, bitmap_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  ~Canvas() {
    ::SelectObject(memory_, old_);
    ::DeleteObject(bitmap_);
    ::DeleteDC(memory_);
  }
  HDC dc() const { return memory_; }
  HDC screen() const { return screen_.get(); }
  // What has been drawn, top-down rows of 32-bit BGRX.
  std::vector<std::uint32_t> Pixels() const {
    ::GdiFlush();
    const auto* first = static_cast<const std::uint32_t*>(bits_);
    return std::vector<std::uint32_t>(first, first + static_cast<size_t>(width_) * height_);
  }

 private:
  int width_, height_;
  ScreenDc screen_;
  HDC memory_;
  HBITMAP bitmap_ = nullptr;
  void* bits_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

// The screen's pixels under `rect`, top-down rows of 32-bit BGRX.
std::vector<std::uint32_t> Capture(const RECT& rect) {
  Canvas canvas(rect.right - rect.left, rect.bottom - rect.top);
  ::BitBlt(canvas.dc(), 0, 0, rect.right - rect.left, rect.bottom - rect.top, canvas.screen(), rect.left, rect.top,
           SRCCOPY);
  return canvas.Pixels();
}

// The screen under `rect` once `window` has painted and two captures in a row agree:
// the screen follows the window's painting a little later.
std::vector<std::uint32_t> SettledCapture(HWND window, const RECT& rect) {
  WaitForPainted(window);
  std::vector<std::uint32_t> pixels = Capture(rect);
  WaitUntil(
      [&] {
        std::vector<std::uint32_t> again = Capture(rect);
        const bool same = again == pixels;
        pixels = std::move(again);
        return same;
      },
      std::chrono::milliseconds(3000), std::chrono::milliseconds(100));
  return pixels;
}

}  // namespace

bool WaitForPainted(HWND window, std::chrono::milliseconds timeout) {
  return WaitUntil(
      [&] {
        std::vector<HWND> windows{window};
        ::EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&windows));
        for (HWND w : windows) {
          if (::GetUpdateRect(w, nullptr, FALSE)) return false;
        }
        return true;
      },
      timeout);
}

namespace {

// Per-monitor v2 as the utility is where the system has it (Windows 10 1703 on), system
// aware otherwise. Run when the harness is loaded, before any test reads a place.
bool MakeDpiAware() {
  using SetContext = BOOL(WINAPI*)(HANDLE);
  HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
  const auto set_context = reinterpret_cast<SetContext>(
      reinterpret_cast<void*>(::GetProcAddress(user32, "SetProcessDpiAwarenessContext")));
  const HANDLE per_monitor_v2 = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-4));
  if (set_context && set_context(per_monitor_v2)) return true;
  return ::SetProcessDPIAware() != FALSE;
}

const bool dpi_aware = MakeDpiAware();

}  // namespace

bool HarnessIsDpiAware() { return dpi_aware && ::IsProcessDPIAware(); }

RECT WindowRect(HWND window) {
  RECT rect{};
  ::GetWindowRect(window, &rect);
  return rect;
}

int DisplayDpi() {
  ScreenDc screen;
  return ::GetDeviceCaps(screen.get(), LOGPIXELSY);
}

RECT RectIn(HWND control, HWND parent) {
  RECT rect{};
  ::GetWindowRect(control, &rect);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

namespace {

HFONT MakeFont(const wchar_t* face, int pixels) {
  return ::CreateFontW(-pixels, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

SIZE InkExtent(const std::vector<std::uint32_t>& pixels, int width, const RECT& part, std::uint32_t background) {
  int left = part.right, right = part.left, top = part.bottom, bottom = part.top;
  for (int y = part.top; y < part.bottom; ++y) {
    for (int x = part.left; x < part.right; ++x) {
      if ((pixels[static_cast<size_t>(y) * width + x] & 0xFFFFFF) == background) continue;
      left = std::min(left, x);
      right = std::max(right, x + 1);
      top = std::min(top, y);
      bottom = std::max(bottom, y + 1);
    }
  }
  if (right <= left) return {0, 0};
  return {right - left, bottom - top};
}

// A COLORREF (0x00BBGGRR) as a 32-bit DIB pixel (0x00RRGGBB).
std::uint32_t DibPixel(COLORREF colour) {
  return (static_cast<std::uint32_t>(GetRValue(colour)) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

}  // namespace

SIZE InkOfText(const std::wstring& text, const wchar_t* face, int pixels) {
  const int width = 1200, height = 100;
  Canvas canvas(width, height);
  HFONT font = MakeFont(face, pixels);
  HGDIOBJ old_font = ::SelectObject(canvas.dc(), font);
  RECT all{0, 0, width, height};
  ::FillRect(canvas.dc(), &all, ::GetSysColorBrush(COLOR_BTNFACE));
  ::SetBkMode(canvas.dc(), TRANSPARENT);
  ::SetTextColor(canvas.dc(), ::GetSysColor(COLOR_WINDOWTEXT));
  ::TextOutW(canvas.dc(), 10, 10, text.c_str(), static_cast<int>(text.size()));
  const std::vector<std::uint32_t> ink = canvas.Pixels();
  ::SelectObject(canvas.dc(), old_font);
  ::DeleteObject(font);
  return InkExtent(ink, width, all, DibPixel(::GetSysColor(COLOR_BTNFACE)));
}

SIZE InkOnScreen(HWND control, const RECT& part) {
  RECT client{};
  ::GetClientRect(control, &client);
  ::MapWindowPoints(control, nullptr, reinterpret_cast<POINT*>(&client), 2);
  const std::vector<std::uint32_t> pixels = SettledCapture(::GetAncestor(control, GA_ROOT), client);
  const int width = client.right - client.left;
  const std::uint32_t background = pixels[static_cast<size_t>(part.top) * width + part.left] & 0xFFFFFF;
  return InkExtent(pixels, width, part, background);
}

int EditTextSpan(HWND edit) {
  const size_t length = TextOf(edit).size();
  DWORD_PTR first = 0, last = 0;
  ::SendMessageTimeoutW(edit, EM_POSFROMCHAR, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &first);
  ::SendMessageTimeoutW(edit, EM_POSFROMCHAR, length - 1, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &last);
  return static_cast<short>(LOWORD(last)) - static_cast<short>(LOWORD(first));
}

int TextSpan(const std::wstring& text, const wchar_t* face, int pixels) {
  ScreenDc screen;
  HFONT font = MakeFont(face, pixels);
  HGDIOBJ old = ::SelectObject(screen.get(), font);
  SIZE extent{};
  ::GetTextExtentPoint32W(screen.get(), text.c_str(), static_cast<int>(text.size()) - 1, &extent);
  ::SelectObject(screen.get(), old);
  ::DeleteObject(font);
  return extent.cx;
}

HWND FocusedControl(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

HWND PressTab(HWND window, std::chrono::milliseconds timeout) {
  HWND before = FocusedControl(window);
  HWND target = before ? before : window;
  ::PostMessageW(target, WM_KEYDOWN, VK_TAB, 0x000F0001);
  ::PostMessageW(target, WM_KEYUP, VK_TAB, 0xC00F0001);
  HWND after = PollFor(
      [&]() -> HWND {
        HWND now = FocusedControl(window);
        return now != before ? now : nullptr;
      },
      timeout);
  return after;
}

void LeftClickAt(HWND control, int x, int y) {
  const LPARAM at = MAKELPARAM(x, y);
  ::PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::PostMessageW(control, WM_LBUTTONUP, 0, at);
}

COLORREF ScreenPixel(HWND window, int x, int y) {
  POINT at{x, y};
  ::ClientToScreen(window, &at);
  ScreenDc screen;
  return ::GetPixel(screen.get(), at.x, at.y);
}

bool WaitForScreenPixel(HWND window, int x, int y, COLORREF colour, std::chrono::milliseconds timeout) {
  return WaitUntil([&] { return !::GetUpdateRect(window, nullptr, FALSE) && ScreenPixel(window, x, y) == colour; },
                   timeout);
}

void SaveScreenshot(HWND window, const std::wstring& name) {
  const std::wstring folder = EnvironmentVariable(L"KALVERA_SHOTS_DIR");
  if (folder.empty()) return;
  const std::wstring path = WindowsPathOfUnix(folder) + L"\\" + name + L".png";
  MakeDirectories(FolderOf(path));
  RECT rect{};
  ::GetWindowRect(window, &rect);
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  const std::vector<std::uint32_t> pixels = SettledCapture(window, rect);

  Gdiplus::GdiplusStartupInput input{};
  ULONG_PTR token = 0;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) {
    throw std::runtime_error("GDI+ does not start");
  }
  Gdiplus::Status status = Gdiplus::GenericError;
  Gdiplus::GpBitmap* image = nullptr;
  if (const auto png = PngEncoder()) {
    status = Gdiplus::DllExports::GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppRGB,
                                                          reinterpret_cast<BYTE*>(const_cast<std::uint32_t*>(pixels.data())), &image);
    if (status == Gdiplus::Ok) {
      status = Gdiplus::DllExports::GdipSaveImageToFile(image, path.c_str(), &*png, nullptr);
      Gdiplus::DllExports::GdipDisposeImage(image);
    }
  }
  Gdiplus::GdiplusShutdown(token);
  if (status != Gdiplus::Ok) throw std::runtime_error("cannot save the screenshot " + ToUtf8(path));
}

}  // namespace harness
