#pragma once
// A window timer that behaves as the logic expects: enabling an enabled timer keeps its
// period running (SetTimer alone would restart it).
#include <windows.h>

#include <functional>
#include <utility>

#include "setup/controls.h"

class TimerWin32 : public Timer {
 public:
  // `on_change` (may be empty) runs after each change of Enabled().
  TimerWin32(HWND owner, UINT_PTR id, unsigned interval_ms, std::function<void()> on_change = {})
      : owner_(owner), id_(id), interval_ms_(interval_ms), on_change_(std::move(on_change)) {}
  TimerWin32(const TimerWin32&) = delete;
  TimerWin32& operator=(const TimerWin32&) = delete;
  ~TimerWin32() override {
    on_change_ = nullptr;  // the window that listens may be going too
    SetEnabled(false);
  }

  void SetEnabled(bool enabled) override;
  bool Enabled() const override { return enabled_; }
  UINT_PTR Id() const { return id_; }

 private:
  HWND owner_;
  UINT_PTR id_;
  unsigned interval_ms_;
  std::function<void()> on_change_;
  bool enabled_ = false;
};
