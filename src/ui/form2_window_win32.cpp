#include "ui/form2_window_win32.h"

#include <iterator>

#include "base/error.h"
#include "base/system_message_win32.h"
#include "base/control_ids.h"

namespace {

constexpr wchar_t kForm2Class[] = L"TForm2";
constexpr int kClientWidth = 366;
constexpr int kClientHeight = 442;
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW;
constexpr wchar_t kLabelText[] = L"Label1";

}  // namespace

Form2Window::Form2Window(HINSTANCE instance, HWND owner) : font_(MakeTahoma(11)) {
  window_.reset(
      CreateForm(instance, kForm2Class, kMainWindowCaption, kStyle, kClientWidth, kClientHeight, owner, L"the second window"));
  ::SendMessageW(window_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  // The label is as large as its text in the window's font.
  SIZE text{};
  if (HDC dc = ::GetDC(window_.get())) {
    HGDIOBJ old = ::SelectObject(dc, font_.get());
    ::GetTextExtentPoint32W(dc, kLabelText, static_cast<int>(std::size(kLabelText)) - 1, &text);
    ::SelectObject(dc, old);
    ::ReleaseDC(window_.get(), dc);
  }
  HWND label = ::CreateWindowExW(0, L"STATIC", kLabelText, WS_CHILD | WS_VISIBLE, 40, 40, text.cx, text.cy,
                                 window_.get(), nullptr, instance, nullptr);
  if (!label) {
    const DWORD code = ::GetLastError();
    throw Error(L"Cannot create the second window's label. " + SystemMessage(code));
  }
  ::SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
}
