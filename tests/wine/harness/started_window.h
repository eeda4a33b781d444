#pragma once
// The utility started and waiting for the person: what the window tests begin with.
#include <windows.h>

#include "processes.h"

namespace harness {

// The utility under test started (LaunchApp) with its start-up over: its main window
// shown and holding its first focus. The utility is ended when this goes, if it still runs.
class StartedWindow {
 public:
  // Raises std::runtime_error when the window does not show or take the focus in time.
  StartedWindow();
  StartedWindow(const StartedWindow&) = delete;
  StartedWindow& operator=(const StartedWindow&) = delete;
  ~StartedWindow();

  DWORD pid() const { return app_.pid(); }
  HWND main() const { return main_; }
  // The control with this id, at any depth; raises std::runtime_error when it is missing.
  HWND Get(int id) const;

 private:
  ChildProcess app_;
  HWND main_ = nullptr;
};

}  // namespace harness
