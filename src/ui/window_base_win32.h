#pragma once
// The base of our window classes: the class registered once, the object bound to its
// window for the window's whole life, and one window procedure that lets no exception
// through into Windows.
#include <windows.h>

#include <string>

#include "base/run_log.h"

// The text of `window`: a top-level window's caption, a control's contents.
std::wstring WindowText(HWND window);

class WindowBase {
 public:
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;

  // The creation parameter (lpParam of CreateWindowExW) that binds a window to this
  // object; a derived pointer cast to void* would miss the base in a class with two.
  void* CreateParam() { return this; }

 protected:
  WindowBase() = default;
  ~WindowBase() = default;

  // Registers `window_class` with the shared procedure, once per process; returns its
  // name. A window of the class is bound to the WindowBase passed as its creation
  // parameter from WM_NCCREATE to WM_NCDESTROY; one created without an object gets the
  // system's default handling. Raises Error when the system refuses the class.
  static const wchar_t* RegisterClassOnce(WNDCLASSEXW window_class);
  // A form of ours: registers `class_name` (the executable's icon, the arrow, the
  // button-face background) and creates a window of it with `caption`, a client area of
  // `client_width` x `client_height` at the system's default place, owned by `owner`
  // (may be null) and bound to this object. Raises Error "Cannot create <what>. <reason>";
  // the caller owns the window it returns.
  HWND CreateForm(HINSTANCE instance, const wchar_t* class_name, const wchar_t* caption, DWORD style,
                  int client_width, int client_height, HWND owner, const std::wstring& what);

  // One message of the bound window. Whatever it throws ends that message: the default
  // error report shows it, owned by the top-level window, and the program goes on.
  virtual LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) = 0;
  // The window has been unbound on its WM_NCDESTROY, just before the system frees it.
  virtual void OnUnbound(HWND) {}
  // The caption of the error report; by default the top-level window's caption.
  virtual std::wstring ReportTitle(HWND top_level) const;
  // Where the errors of this form and of the windows it owns are logged; none by default.
  virtual Log* RunLogOf() { return nullptr; }

 private:
  static Log* LogOfForm(HWND form);
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
};
