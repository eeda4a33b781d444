#pragma once
// What the window's taskbar button shows of the chain: the progress bar's position while
// a transfer moves it, a bar without end while the chain waits for the setup program or
// the platform, the error state while the chain's error report is open, and nothing
// before, between and after.

enum class TaskbarState { None, Indeterminate, Normal, Error };

// The button as the window drives it (ITaskbarList3 on Windows).
class TaskbarButton {
 public:
  virtual ~TaskbarButton() = default;
  virtual void ShowState(TaskbarState state) = 0;
  // The filled part of the bar in the Normal and Error states.
  virtual void ShowValue(int position, int max) = 0;
};

// Follows the window's progress bar, its chain timers and its error reports, and tells
// the button only what changes. Until a button is attached (the taskbar announces it,
// and a system without one never does) it only keeps count.
class TaskbarProgress {
 public:
  // `button` (may be null) must outlive this object or be replaced before it goes.
  void Attach(TaskbarButton* button);
  // The progress bar was told a new position or range.
  void BarMoved(int position, int max);
  // Some chain timer runs (true) or none does (false).
  void SetWaiting(bool waiting);
  // The chain's error report opens (true) or has closed (false); once it has closed the
  // chain has ended, and the bar's last position is not shown again.
  void SetErrorShown(bool shown);

 private:
  TaskbarState Wanted() const;
  void Tell();

  TaskbarButton* button_ = nullptr;
  bool waiting_ = false;
  bool error_ = false;
  bool moving_ = false;  // the bar was moved since the chain last waited or failed
  int position_ = 0;
  int max_ = 100;
  // What the button shows; nothing known of a button just attached.
  bool told_ = false;
  TaskbarState told_state_ = TaskbarState::None;
  int told_position_ = -1;
  int told_max_ = -1;
};
