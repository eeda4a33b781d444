#pragma once
// What a user sees of another process's window and how they move through it: control
// places, fonts, the keyboard focus and Tab, mouse clicks, screen pixels and screenshots.
#include <windows.h>

#include <chrono>
#include <string>

namespace harness {

// `control`'s window rectangle in the client coordinates of `parent` (its own parent, a
// panel, or the main window).
RECT RectIn(HWND control, HWND parent);
// The same on the screen.
RECT WindowRect(HWND window);
// The DPI of the display (LOGPIXELSY of the screen).
int DisplayDpi();
// Places are read in the reader's own coordinates: a reader that is not DPI-aware would
// get another process's places scaled back to 96 DPI on Windows. The harness declares
// itself aware before anything reads a place; this tells whether the system agreed.
bool HarnessIsDpiAware();

// A font's handle belongs to the process that made it, so a control's font is judged by
// what it draws. The extent of the ink (pixels unlike the background) that `text` leaves
// when this process draws it in black on the window colour with `face` at a character
// height of `pixels`:
SIZE InkOfText(const std::wstring& text, const wchar_t* face, int pixels);
// and the extent of the ink on the screen within `part` of `control`'s client area,
// against the colour of the part's top-left pixel (a themed button is not window-coloured).
SIZE InkOnScreen(HWND control, const RECT& part);
// The distance from the first to the last character of an edit's text (EM_POSFROMCHAR),
// which is the width of all but the last character in the edit's font.
int EditTextSpan(HWND edit);
// The same width for `text` in `face` at `pixels`, drawn by this process.
int TextSpan(const std::wstring& text, const wchar_t* face, int pixels);

// The control that has the keyboard focus in the thread that owns `window`, or null.
HWND FocusedControl(HWND window);
// Presses Tab (key down and up posted to the focused control, as the keyboard would) and
// waits until the focus has moved; the new focus, or null when it did not move.
HWND PressTab(HWND window, std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));

// A left-button click (down and up posted) at client point (x, y) of `control`.
void LeftClickAt(HWND control, int x, int y);

// The colour on the screen at client point (x, y) of `window`, as COLORREF. The window
// must not be covered by another one.
COLORREF ScreenPixel(HWND window, int x, int y);
// Waits until `window` has painted (no update region left) and then until the screen at
// its client point (x, y) shows `colour`; false if it never does.
bool WaitForScreenPixel(HWND window, int x, int y, COLORREF colour, std::chrono::milliseconds timeout);

// Waits until `window` and every window inside it have painted (no update region left);
// false if they never do.
bool WaitForPainted(HWND window, std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));

// Saves what the screen shows of `window` (frame included) as a PNG named `name`.png in
// the folder KALVERA_SHOTS_DIR names (a Linux path, as CTest sets it); does nothing when
// it is not set. It waits for the window to have painted and for two captures in a row
// to agree, since the screen follows the window's painting a little later. Raises
// std::runtime_error when the file cannot be written.
void SaveScreenshot(HWND window, const std::wstring& name);

}  // namespace harness
