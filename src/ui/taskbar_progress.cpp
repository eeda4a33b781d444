#include "ui/taskbar_progress.h"

void TaskbarProgress::Attach(TaskbarButton* button) {
  button_ = button;
  told_ = false;
  Tell();
}

void TaskbarProgress::BarMoved(int position, int max) {
  position_ = position;
  max_ = max;
  moving_ = true;
  Tell();
}

void TaskbarProgress::SetWaiting(bool waiting) {
  // The transfer that moved the bar is over once the chain waits for a program.
  if (waiting) moving_ = false;
  waiting_ = waiting;
  Tell();
}

void TaskbarProgress::SetErrorShown(bool shown) {
  if (!shown) moving_ = false;
  error_ = shown;
  Tell();
}

TaskbarState TaskbarProgress::Wanted() const {
  if (error_) return TaskbarState::Error;
  if (waiting_) return TaskbarState::Indeterminate;
  return moving_ ? TaskbarState::Normal : TaskbarState::None;
}

void TaskbarProgress::Tell() {
  if (!button_) return;
  const TaskbarState state = Wanted();
  if (!told_ || state != told_state_) {
    button_->ShowState(state);
    told_state_ = state;
    told_position_ = told_max_ = -1;  // a new state draws its own bar
  }
  told_ = true;
  if (state != TaskbarState::Normal && state != TaskbarState::Error) return;
  // An error with no transfer under way fills the whole bar, so that its colour shows.
  const int position = moving_ ? position_ : max_;
  if (position == told_position_ && max_ == told_max_) return;
  button_->ShowValue(position, max_);
  told_position_ = position;
  told_max_ = max_;
}
