#include "ui/window_base_win32.h"

#include "base/error.h"
#include "base/system_message_win32.h"
#include "ui/error_report_win32.h"
#include "ui/window_handles_win32.h"

const wchar_t* WindowBase::RegisterClassOnce(WNDCLASSEXW window_class) {
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = WindowProc;
  RegisterWindowClass(window_class);
  return window_class.lpszClassName;
}

HWND WindowBase::CreateForm(HINSTANCE instance, const wchar_t* class_name, const wchar_t* caption, DWORD style,
                            int client_width, int client_height, HWND owner, const std::wstring& what) {
  WNDCLASSEXW wc{};
  wc.hInstance = instance;
  wc.hIcon = ::LoadIconW(instance, L"MAINICON");
  wc.hIconSm = wc.hIcon;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = class_name;
  RegisterClassOnce(wc);
  RECT frame{0, 0, client_width, client_height};
  ::AdjustWindowRectEx(&frame, style, FALSE, 0);
  HWND window = ::CreateWindowExW(0, class_name, caption, style, CW_USEDEFAULT, CW_USEDEFAULT,
                                  frame.right - frame.left, frame.bottom - frame.top, owner, nullptr, instance,
                                  CreateParam());
  if (!window) {
    const DWORD code = ::GetLastError();
    throw Error(L"Cannot create " + what + L". " + SystemMessage(code));
  }
  return window;
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::wstring WindowBase::ReportTitle(HWND top_level) const { return WindowText(top_level); }

Log* WindowBase::LogOfForm(HWND form) {
  // Only a window of one of our classes holds a WindowBase in its user data.
  if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(form, GWLP_WNDPROC)) != WindowProc) return nullptr;
  auto* owner = reinterpret_cast<WindowBase*>(::GetWindowLongPtrW(form, GWLP_USERDATA));
  return owner ? owner->RunLogOf() : nullptr;
}

LRESULT CALLBACK WindowBase::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lp);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<WindowBase*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return ::DefWindowProcW(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    // Unbound first, so that nothing sent from here on reaches an object that may go.
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->OnUnbound(hwnd);
    return ::DefWindowProcW(hwnd, msg, wp, lp);
  }
  try {
    return self->HandleMessage(hwnd, msg, wp, lp);
  } catch (...) {
    try {
      // The title is asked for only now: reading a caption sends a message of its own.
      HWND top_level = ::GetAncestor(hwnd, GA_ROOT);
      // Rethrown into RunHandler, so that it is reported and logged as every click and tick
      // is. The log is the one of the form that owns this window, wherever it sits.
      NoLog no_log;
      Log* log = LogOfForm(::GetAncestor(hwnd, GA_ROOTOWNER));
      RunHandler(top_level, self->ReportTitle(top_level), [] { throw; }, log ? *log : no_log);
    } catch (...) {
      // Only the report itself can get here (out of memory for its text): nothing is left
      // to tell the user with, and the message still must not end the program.
    }
  }
  return 0;
}
