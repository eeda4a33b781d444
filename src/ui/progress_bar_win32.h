#pragma once
// ProgressBar1 as the logic moves it: an existing msctls_progress32 control.
#include <windows.h>

#include "ui/sparing_progress_bar.h"

class ProgressBarWin32 : public SparingProgressBar {
 public:
  // Takes over `control` (the window keeps owning it), starting from the range and
  // position it holds now; from then on the range and position go through this object.
  explicit ProgressBarWin32(HWND control);

 protected:
  int DrawnWidth() const override;
  void TellRange(int max) override;
  void TellPosition(int position) override;

 private:
  HWND control_;
};
