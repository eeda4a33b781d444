#include "ui/panel_win32.h"

#include "ui/window_handles_win32.h"

namespace {

constexpr wchar_t kPanelClass[] = L"TPanel";

LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
      return ::SendMessageW(::GetParent(hwnd), msg, wp, lp);
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(hwnd, &ps);
      RECT r;
      ::GetClientRect(hwnd, &r);
      ::DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
      ::EndPaint(hwnd, &ps);
      return 0;
    }
  }
  return ::DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

const wchar_t* PanelClassName(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = PanelProc;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kPanelClass;
  RegisterWindowClass(wc);
  return kPanelClass;
}
