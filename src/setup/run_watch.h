#pragma once
// When a timer that waits for a platform run to end may go on.
//
// The run is started just before or just after its timer is enabled, and a platform
// process takes a moment to show in the process list. A tick that sees no platform only
// means "ended" once a platform process has been seen since the timer was enabled; a run
// quicker than a tick, or one that never started, is given up on after kTicksUnseen
// ticks without one.
class RunWatch {
 public:
  static constexpr int kTicksUnseen = 15;

  // At the enabling of the timer: nothing seen yet.
  void Restart();
  // One tick's scan result; true when the run counts as ended.
  bool HasEnded(bool platform_running);

 private:
  bool seen_ = false;
  int ticks_unseen_ = 0;
};

// The watches of the two timers that wait for a batch run of the platform.
struct RunWatches {
  RunWatch update_conf;
  RunWatch update_conf_2;
};
