#pragma once
// A plain container with a raised one-pixel bevel that passes its children's
// notifications on to its parent, as the form's panels need.
#include <windows.h>

#include "ui/window_base_win32.h"

class PanelWindow final : public WindowBase {
 public:
  // Registers the panel class once per process; returns its name. Raises Error when the
  // system refuses the class. A panel is created with WS_EX_CONTROLPARENT, so that Tab
  // walks into its edits, and with Shared().CreateParam() as its creation parameter.
  static const wchar_t* ClassName(HINSTANCE instance);
  // A panel keeps no state of its own: one object handles them all.
  static PanelWindow& Shared();

 private:
  PanelWindow() = default;
  LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override;
};
