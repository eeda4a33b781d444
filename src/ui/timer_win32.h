#pragma once
// A window timer that behaves as the logic expects: enabling an enabled timer keeps its
// period running (SetTimer alone would restart it).
#include <windows.h>

#include "setup/controls.h"

class TimerWin32 : public Timer {
 public:
  TimerWin32(HWND owner, UINT_PTR id, unsigned interval_ms)
      : owner_(owner), id_(id), interval_ms_(interval_ms) {}
  TimerWin32(const TimerWin32&) = delete;
  TimerWin32& operator=(const TimerWin32&) = delete;
  ~TimerWin32() override { SetEnabled(false); }

  void SetEnabled(bool enabled) override;
  bool Enabled() const override { return enabled_; }
  UINT_PTR Id() const { return id_; }

 private:
  HWND owner_;
  UINT_PTR id_;
  unsigned interval_ms_;
  bool enabled_ = false;
};
