#include "setup/run_watch.h"

void RunWatch::Restart() {
  seen_ = false;
  ticks_unseen_ = 0;
}

bool RunWatch::HasEnded(ScanResult scan) {
  if (scan == ScanResult::Running) {
    seen_ = true;
    return false;
  }
  if (seen_) return scan == ScanResult::NoneRunning;
  return ++ticks_unseen_ >= limit_;
}
