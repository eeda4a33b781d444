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

void SparingProgressBar::Tell(int position) {
  TellPosition(position);
  told_position_ = position;
  told_ = true;
  told_at_ = NowMs();
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
  if (position_ != told_position_) Tell(position_);
}

void SparingProgressBar::StepBy(int delta) {
  position_ = Clamp(static_cast<long long>(position_) + delta);
  if (position_ == told_position_) return;
  const int width = DrawnWidth();
  if (Filled(position_, width) == Filled(told_position_, width)) return;
  const std::uint64_t since_told = NowMs() - told_at_;
  if (!told_ || since_told >= kFrameMs) {
    Tell(position_);
  } else if (!flush_pending_) {
    // Should the data pause now, the bar must not stand still short of what arrived.
    flush_pending_ = true;
    FlushLater(kFrameMs - since_told);
  }
}

void SparingProgressBar::Flush() {
  flush_pending_ = false;
  const int width = DrawnWidth();
  if (Filled(position_, width) != Filled(told_position_, width)) Tell(position_);
}
