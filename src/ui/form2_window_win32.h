#pragma once
// The second window: created with the first and never shown, read or written.
#include <windows.h>

#include "ui/window_handles_win32.h"

class Form2Window {
 public:
  // Owned by `owner`, so it never has a taskbar button of its own. Raises Error when the
  // window or its label cannot be created; nothing of it is left then.
  Form2Window(HINSTANCE instance, HWND owner);
  Form2Window(const Form2Window&) = delete;
  Form2Window& operator=(const Form2Window&) = delete;

  HWND hwnd() const { return window_.get(); }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  UniqueFont font_;                // outlives the label that uses it
  UniqueTopLevelWindow window_;
};
