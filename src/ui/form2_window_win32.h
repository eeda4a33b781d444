#pragma once
// The second window: created with the first and never shown, read or written.
#include <windows.h>

#include "ui/window_base_win32.h"
#include "ui/window_handles_win32.h"

class Form2Window : private WindowBase {
 public:
  // Owned by `owner`, so it never has a taskbar button of its own. Raises Error when the
  // window or its label cannot be created; nothing of it is left then.
  Form2Window(HINSTANCE instance, HWND owner);
  Form2Window(const Form2Window&) = delete;
  Form2Window& operator=(const Form2Window&) = delete;

  HWND hwnd() const { return window_.get(); }

 private:
  LRESULT HandleMessage(HWND window, UINT msg, WPARAM wp, LPARAM lp) override {
    return ::DefWindowProcW(window, msg, wp, lp);
  }
  // Destroyed with its owner when the main window closes: forget the handle then.
  void OnUnbound(HWND) override { window_.release(); }

  UniqueFont font_;                // outlives the label that uses it
  UniqueTopLevelWindow window_;
};
