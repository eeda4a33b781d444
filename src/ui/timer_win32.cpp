#include "ui/timer_win32.h"

void TimerWin32::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  if (enabled) {
    enabled_ = ::SetTimer(owner_, id_, interval_ms_, nullptr) != 0;
  } else {
    ::KillTimer(owner_, id_);
    enabled_ = false;
  }
  if (on_change_) on_change_();
}
