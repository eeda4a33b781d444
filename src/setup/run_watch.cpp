#include "setup/run_watch.h"

void RunWatch::Restart() {
  seen_ = false;
  ticks_unseen_ = 0;
}

void RunWatch::Count(ScanResult scan) {
  if (scan == ScanResult::Running) {
    seen_ = true;
  } else if (!seen_) {
    ++ticks_unseen_;
  }
}

bool RunWatch::HasEnded(ScanResult scan) {
  Count(scan);
  return seen_ ? scan == ScanResult::NoneRunning : ticks_unseen_ >= limit_;
}

bool RunWatch::GivenUpUnseen(ScanResult scan) {
  Count(scan);
  return !seen_ && ticks_unseen_ >= limit_;
}
