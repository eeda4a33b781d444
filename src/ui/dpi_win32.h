#pragma once
// The window's DPI and the lengths that depend on it. The functions of the per-monitor
// kind exist only from Windows 10 1607 on: they are looked up in user32.dll at run time,
// and older systems get the system DPI, which a system-aware process there is drawn at.
#include <windows.h>

#include "ui/window_handles_win32.h"

// Sent to a per-monitor aware window whose DPI changes; absent from older SDK headers.
inline constexpr UINT kDpiChangedMessage = 0x02E0;  // WM_DPICHANGED

// The DPI `window` is drawn at: its monitor's with per-monitor awareness, the system's
// otherwise.
int WindowDpi(HWND window);

// The outer size of a window of `style` (no menu, no extended style) whose client area
// is `client_width` x `client_height` at `dpi`.
SIZE OuterSizeForClient(int client_width, int client_height, DWORD style, int dpi);

// The system's status-bar font at `dpi`. Raises Error.
UniqueFont MakeStatusFont(int dpi);

// The work area of the monitor that holds most of `rect`.
RECT WorkAreaAround(const RECT& rect);
