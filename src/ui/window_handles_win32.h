#pragma once
// Owners for the window's own GDI and window handles, in the style of UniqueHandle.
#include <windows.h>

#include "base/unique_handle_win32.h"

struct FontTraits {
  using Handle = HFONT;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { ::DeleteObject(h); }
};
using UniqueFont = UniqueHandle<FontTraits>;

// A top-level window is unbound from its object before it is destroyed, so that the
// messages destruction sends never reach an object that is itself going away.
struct TopLevelWindowTraits {
  using Handle = HWND;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) {
    ::SetWindowLongPtrW(h, GWLP_USERDATA, 0);
    ::DestroyWindow(h);
  }
};
using UniqueTopLevelWindow = UniqueHandle<TopLevelWindowTraits>;

// Tahoma at a character height of `pixels` (a negative lfHeight), default character set,
// regular weight. Raises Error when the font cannot be made.
UniqueFont MakeTahoma(int pixels);

// Registers a window class once per process; an already registered class is fine.
// Raises Error naming the class when the system refuses it.
void RegisterWindowClass(const WNDCLASSEXW& window_class);
