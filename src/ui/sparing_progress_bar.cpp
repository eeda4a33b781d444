#include "ui/sparing_progress_bar.h"

#include <algorithm>

SparingProgressBar::SparingProgressBar(int max, int position)
    : max_(max), position_(Clamp(position)), told_position_(position_) {}

int SparingProgressBar::Clamp(long long position) const {
  return static_cast<int>(std::clamp<long long>(position, 0, std::max(max_, 0)));
}

long long SparingProgressBar::Filled(int position, int width) const {
  if (max_ <= 0 || width <= 0) return 0;
  return static_cast<long long>(position) * width / max_;
}

void SparingProgressBar::SetMax(int max) {
  if (max == max_) return;
  max_ = max;
  TellRange(max_);
  // The control pulls its own position into the new range.
  position_ = Clamp(position_);
  told_position_ = Clamp(told_position_);
}

void SparingProgressBar::SetPosition(int position) {
  position_ = Clamp(position);
  if (position_ == told_position_) return;
  TellPosition(position_);
  told_position_ = position_;
}

void SparingProgressBar::StepBy(int delta) {
  position_ = Clamp(static_cast<long long>(position_) + delta);
  if (position_ == told_position_) return;
  const int width = DrawnWidth();
  if (Filled(position_, width) == Filled(told_position_, width)) return;
  TellPosition(position_);
  told_position_ = position_;
}
