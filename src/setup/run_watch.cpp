#include "setup/run_watch.h"

void RunWatch::Restart() { *this = RunWatch(); }

bool RunWatch::HasEnded(bool platform_running) {
  if (platform_running) {
    seen_ = true;
    return false;
  }
  if (seen_) return true;
  return ++ticks_unseen_ >= kTicksUnseen;
}
