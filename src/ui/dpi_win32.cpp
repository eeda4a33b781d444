#include "ui/dpi_win32.h"

#include "base/error.h"
#include "base/system_message_win32.h"

namespace {

struct DpiFunctions {
  UINT(WINAPI* GetDpiForWindow)(HWND) = nullptr;
  BOOL(WINAPI* AdjustWindowRectExForDpi)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
  BOOL(WINAPI* SystemParametersInfoForDpi)(UINT, UINT, void*, UINT, UINT) = nullptr;
};

template <typename F>
void Find(HMODULE user32, F& function, const char* name) {
  function = reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(user32, name)));
}

// user32.dll is loaded in every GUI process and is one of the KnownDLLs: asking for the
// module already there loads nothing from elsewhere.
const DpiFunctions& Dpi() {
  static const DpiFunctions functions = [] {
    DpiFunctions f;
    if (HMODULE user32 = ::GetModuleHandleW(L"user32.dll")) {
      Find(user32, f.GetDpiForWindow, "GetDpiForWindow");
      Find(user32, f.AdjustWindowRectExForDpi, "AdjustWindowRectExForDpi");
      Find(user32, f.SystemParametersInfoForDpi, "SystemParametersInfoForDpi");
    }
    return f;
  }();
  return functions;
}

int SystemDpi() {
  HDC screen = ::GetDC(nullptr);
  const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

}  // namespace

int WindowDpi(HWND window) {
  if (Dpi().GetDpiForWindow) {
    if (const UINT dpi = Dpi().GetDpiForWindow(window)) return static_cast<int>(dpi);
  }
  return SystemDpi();
}

SIZE OuterSizeForClient(int client_width, int client_height, DWORD style, int dpi) {
  RECT frame{0, 0, client_width, client_height};
  if (!Dpi().AdjustWindowRectExForDpi ||
      !Dpi().AdjustWindowRectExForDpi(&frame, style, FALSE, 0, static_cast<UINT>(dpi))) {
    // Without the function the frame is the system DPI's, the one the window is drawn at.
    ::AdjustWindowRectEx(&frame, style, FALSE, 0);
  }
  return {frame.right - frame.left, frame.bottom - frame.top};
}

UniqueFont MakeStatusFont(int dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  const bool read = Dpi().SystemParametersInfoForDpi
                        ? Dpi().SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0,
                                                           static_cast<UINT>(dpi))
                        : ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  if (!read) {
    const DWORD code = ::GetLastError();
    throw Error(L"Cannot read the system's status-bar font. " + SystemMessage(code));
  }
  UniqueFont font(::CreateFontIndirectW(&metrics.lfStatusFont));
  if (!font) throw Error(L"Cannot create the system's status-bar font");
  return font;
}

RECT WorkAreaAround(const RECT& rect) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!::GetMonitorInfoW(::MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &info)) {
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &info.rcWork, 0);
  }
  return info.rcWork;
}
