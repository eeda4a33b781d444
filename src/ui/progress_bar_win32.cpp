#include "ui/progress_bar_win32.h"

#include <commctrl.h>

namespace {

int RangeMax(HWND control) {
  return static_cast<int>(::SendMessageW(control, PBM_GETRANGE, FALSE, 0));
}

int CurrentPosition(HWND control) {
  return static_cast<int>(::SendMessageW(control, PBM_GETPOS, 0, 0));
}

}  // namespace

ProgressBarWin32::ProgressBarWin32(HWND control)
    : SparingProgressBar(RangeMax(control), CurrentPosition(control)), control_(control) {}

int ProgressBarWin32::DrawnWidth() const {
  // The client width bounds the part the control fills, frame or theme aside.
  RECT client{};
  if (!::IsWindowVisible(control_) || !::GetClientRect(control_, &client)) return 0;
  return client.right - client.left;
}

void ProgressBarWin32::TellRange(int max) {
  // PBM_SETRANGE takes 16-bit limits; a large download's range needs 32 bits.
  ::SendMessageW(control_, PBM_SETRANGE32, 0, max);
}

void ProgressBarWin32::TellPosition(int position) {
  ::SendMessageW(control_, PBM_SETPOS, position, 0);
}
