#include "ui/window_handles_win32.h"

#include <string>

#include "base/error.h"
#include "base/system_message_win32.h"

UniqueFont MakeTahoma(int pixels) {
  UniqueFont font(::CreateFontW(-pixels, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH | FF_DONTCARE, L"Tahoma"));
  if (!font) throw Error(L"Cannot create the font Tahoma of " + std::to_wstring(pixels) + L" pixels");
  return font;
}

void RegisterWindowClass(const WNDCLASSEXW& window_class) {
  if (::RegisterClassExW(&window_class)) return;
  const DWORD code = ::GetLastError();
  if (code == ERROR_CLASS_ALREADY_EXISTS) return;
  throw Error(std::wstring(L"Cannot register the window class ") + window_class.lpszClassName + L". " +
              SystemMessage(code));
}
