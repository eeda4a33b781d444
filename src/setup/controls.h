#pragma once
// The main window's controls as the logic reads and writes them. The Win32 edge
// implements these with real controls; tests with plain fields.
#include <string>

#include "base/control_names.h"
#include "base/window_placement.h"
#include "platform/command_lines.h"
#include "transfer/progress_bar.h"

// A timer as the logic sees it. Enabling an enabled timer, or disabling a disabled one,
// changes nothing: in particular it does not restart the period.
class Timer {
 public:
  virtual ~Timer() = default;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;
};

class Controls {
 public:
  virtual ~Controls() = default;
  virtual std::wstring Text(EditName edit) const = 0;
  virtual void SetText(EditName edit, const std::wstring& text) = 0;
  virtual bool Checked(CheckBoxName box) const = 0;
  // What tells the person that `refusal`'s fields cannot be passed, in the window's words:
  // the captions that name the fields are the window's own.
  virtual std::wstring RefusalMessage(const FieldRefusal& refusal) const = 0;
  virtual void SetShown(EntryChoice control, bool shown) = 0;
  // The single simple text of the status bar.
  virtual void SetStatusText(const std::wstring& text) = 0;
  virtual ProgressBar& Progress() = 0;
  virtual Timer& TimerOf(TimerName timer) = 0;
  // The main window's outer size (frame included) and its move on the screen.
  virtual int OuterWidth() const = 0;
  virtual int OuterHeight() const = 0;
  virtual void MoveTo(ScreenPoint origin) = 0;
  // Gives the window this outer size, its place kept, but never a client area lower than
  // the one that holds its shown controls: OuterHeight tells the height it took.
  virtual void Resize(int outer_width, int outer_height) = 0;
};
