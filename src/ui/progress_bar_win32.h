#pragma once
// ProgressBar1 as the logic moves it: an existing msctls_progress32 control.
#include <windows.h>

#include <cstdint>
#include <functional>

#include "ui/sparing_progress_bar.h"

class ProgressBarWin32 : public SparingProgressBar {
 public:
  // Takes over `control` (the window keeps owning it), starting from the range and
  // position it holds now; from then on the range and position go through this object.
  // `on_told` (may be empty) hears each position and range told to the control.
  explicit ProgressBarWin32(HWND control, std::function<void(int position, int max)> on_told = {});
  ProgressBarWin32(const ProgressBarWin32&) = delete;  // the flush timer names this object
  ProgressBarWin32& operator=(const ProgressBarWin32&) = delete;
  ~ProgressBarWin32() override;

 protected:
  int DrawnWidth() const override;
  std::uint64_t NowMs() const override;
  void FlushLater(std::uint64_t delay_ms) override;
  void TellRange(int max) override;
  void TellPosition(int position) override;

 private:
  static void CALLBACK OnFlushTimer(HWND control, UINT message, UINT_PTR id, DWORD time);

  HWND control_;
  std::function<void(int, int)> on_told_;
};
