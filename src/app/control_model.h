#pragma once
// The main window's controls as the logic reads and writes them. The Win32 edge
// implements these with real controls; tests with plain fields.
#include <string>

#include "app/window_placement.h"

enum class EditName { Edit1, Edit2, Edit3, Edit4, Edit5 };
enum class CheckBoxName { CheckBox1, CheckBox2 };
// The controls an entry handler hides when a scenario starts.
enum class EntryChoice { Panel1, Panel2, Panel3, CheckBox1, CheckBox2, Button6, Button7, Button9 };
enum class TimerName { start_1C, exit_1c, update_conf, update_conf_2, expectation_start_setup, expectation };

inline constexpr TimerName kAllTimers[] = {
    TimerName::start_1C,    TimerName::exit_1c,
    TimerName::update_conf, TimerName::update_conf_2,
    TimerName::expectation_start_setup, TimerName::expectation};

// The fixed period of each timer, in milliseconds.
unsigned IntervalOf(TimerName timer);

// A timer as the logic sees it. Enabling an enabled timer, or disabling a disabled one,
// changes nothing: in particular it does not restart the period.
class Timer {
 public:
  virtual ~Timer() = default;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;
};

// A progress bar: an integer range from 0 to Max and a position the control keeps inside it.
class ProgressBar {
 public:
  virtual ~ProgressBar() = default;
  virtual void SetMax(int max) = 0;
  virtual void SetPosition(int position) = 0;
  virtual void StepBy(int delta) = 0;
};

class Controls {
 public:
  virtual ~Controls() = default;
  virtual std::wstring Text(EditName edit) const = 0;
  virtual void SetText(EditName edit, const std::wstring& text) = 0;
  virtual bool Checked(CheckBoxName box) const = 0;
  virtual void SetShown(EntryChoice control, bool shown) = 0;
  // The single simple text of the status bar.
  virtual void SetStatusText(const std::wstring& text) = 0;
  virtual ProgressBar& Progress() = 0;
  virtual Timer& TimerOf(TimerName timer) = 0;
  // The main window's outer size (frame included) and its move on the screen.
  virtual int OuterWidth() const = 0;
  virtual int OuterHeight() const = 0;
  virtual void MoveTo(ScreenPoint origin) = 0;
};
