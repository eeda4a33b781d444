#include "ui/panel_win32.h"

namespace {

constexpr wchar_t kPanelClass[] = L"TPanel";

}  // namespace

LRESULT PanelWindow::HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
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

PanelWindow& PanelWindow::Shared() {
  static PanelWindow panel;
  return panel;
}

const wchar_t* PanelWindow::ClassName(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kPanelClass;
  return RegisterClassOnce(wc);
}
