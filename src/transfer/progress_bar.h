#pragma once
// A progress bar as a transfer moves it.

// An integer range from 0 to Max and a position the control keeps inside it.
class ProgressBar {
 public:
  virtual ~ProgressBar() = default;
  virtual void SetMax(int max) = 0;
  virtual void SetPosition(int position) = 0;
  virtual void StepBy(int delta) = 0;
};
