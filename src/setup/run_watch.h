#pragma once
// When a timer that waits for a run to start or to end may go on.
//
// A run is started just before or just after its timer is enabled, and a process takes
// a moment to show in the process list (a slow disk, an antivirus scanning the new
// file). A tick that sees no process only means "ended" once one has been seen since
// the timer was enabled; a run quicker than a tick, or one that never started, is given
// up on after a number of ticks without one.

// What one tick's process scan found.
enum class ScanResult { Running, NoneRunning, Failed };

class RunWatch {
 public:
  // A batch run of the platform: fifteen ticks.
  static constexpr int kTicksUnseen = 15;
  // The setup program: a minute of one-second ticks.
  static constexpr int kSetupTicksUnseen = 60;

  RunWatch() = default;
  explicit RunWatch(int ticks_unseen) : limit_(ticks_unseen) {}

  // At the enabling of the timer: nothing seen yet.
  void Restart();
  // One tick's scan; true when the run counts as ended. A failed snapshot tells
  // nothing: it never ends a run that was seen, and before that it counts as a tick
  // without one.
  bool HasEnded(ScanResult scan);
  // One tick's scan, for a watch whose run's end another timer sees; counted as
  // HasEnded counts it. True when the run has been given up on without ever having
  // been seen.
  bool GivenUpUnseen(ScanResult scan);

 private:
  void Count(ScanResult scan);

  int limit_ = kTicksUnseen;
  bool seen_ = false;
  int ticks_unseen_ = 0;
};

// The watches of the timers that wait for a run they did not see start.
struct RunWatches {
  RunWatch expectation_start_setup{RunWatch::kSetupTicksUnseen};
  RunWatch exit_1c;  // only while the chain has itself started the base creation
  RunWatch update_conf;
  RunWatch update_conf_2;
};
