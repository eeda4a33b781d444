#include "ui/progress_bar_win32.h"

#include <commctrl.h>

#include <utility>

namespace {

int RangeMax(HWND control) {
  return static_cast<int>(::SendMessageW(control, PBM_GETRANGE, FALSE, 0));
}

int CurrentPosition(HWND control) {
  return static_cast<int>(::SendMessageW(control, PBM_GETPOS, 0, 0));
}

}  // namespace

ProgressBarWin32::ProgressBarWin32(HWND control, std::function<void(int, int)> on_told)
    : SparingProgressBar(RangeMax(control), CurrentPosition(control)), control_(control), on_told_(std::move(on_told)) {}

ProgressBarWin32::~ProgressBarWin32() {
  ::KillTimer(control_, reinterpret_cast<UINT_PTR>(this));
}

int ProgressBarWin32::DrawnWidth() const {
  // The client width bounds the part the control fills, frame or theme aside.
  RECT client{};
  if (!::IsWindowVisible(control_) || !::GetClientRect(control_, &client)) return 0;
  return client.right - client.left;
}

std::uint64_t ProgressBarWin32::NowMs() const { return ::GetTickCount64(); }

void ProgressBarWin32::FlushLater(std::uint64_t delay_ms) {
  // The timer's id is this object, which the callback needs; the control's own timers
  // use small ids.
  ::SetTimer(control_, reinterpret_cast<UINT_PTR>(this), static_cast<UINT>(delay_ms),
             &ProgressBarWin32::OnFlushTimer);
}

void CALLBACK ProgressBarWin32::OnFlushTimer(HWND control, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(control, id);
  reinterpret_cast<ProgressBarWin32*>(id)->Flush();
}

void ProgressBarWin32::TellRange(int max) {
  // PBM_SETRANGE takes 16-bit limits; a large download's range needs 32 bits.
  ::SendMessageW(control_, PBM_SETRANGE32, 0, max);
  if (on_told_) on_told_(Position() < max ? Position() : max, max);
}

void ProgressBarWin32::TellPosition(int position) {
  ::SendMessageW(control_, PBM_SETPOS, position, 0);
  if (on_told_) on_told_(position, Max());
}
