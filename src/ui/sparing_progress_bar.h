#pragma once
// A progress bar that keeps its range and position itself and tells the control only
// about changes that alter what it draws. A download steps the bar once per 3 KB block;
// under Wine every redraw costs about a millisecond, ten times the block itself.
#include "app/control_model.h"

class SparingProgressBar : public ProgressBar {
 public:
  // Starts from the range 0..max and the position the control holds now.
  SparingProgressBar(int max, int position);

  // The range and position as the control clamps them: a position beyond Max is Max,
  // one below 0 is 0, and a new Max pulls the position inside it. An explicit range or
  // position is always passed on; a step only when it changes the filled width.
  void SetMax(int max) override;
  void SetPosition(int position) override;
  void StepBy(int delta) override;

  int Max() const { return max_; }
  int Position() const { return position_; }

 protected:
  // The width in pixels across which the control draws its range; 0 when not shown.
  virtual int DrawnWidth() const = 0;
  virtual void TellRange(int max) = 0;
  virtual void TellPosition(int position) = 0;

 private:
  int Clamp(long long position) const;
  long long Filled(int position, int width) const;

  int max_;
  int position_;
  int told_position_;  // what the control holds, which may trail position_ by less than a pixel
};
