#pragma once
// The window's taskbar button through ITaskbarList3 (Windows 7 on). The taskbar makes the
// button after the window shows and announces it with the registered message
// "TaskbarButtonCreated", again after Explorer has restarted; only then does the
// interface act on the window.
#include <windows.h>
#include <shobjidl.h>

#include <memory>

#include "ui/taskbar_progress.h"

class TaskbarButtonWin32 : public TaskbarButton {
 public:
  // The interface for `window`, or null where the system has none (or COM refuses it);
  // the window then simply has no progress on its button. COM must be started.
  static std::unique_ptr<TaskbarButtonWin32> For(HWND window);
  TaskbarButtonWin32(const TaskbarButtonWin32&) = delete;
  TaskbarButtonWin32& operator=(const TaskbarButtonWin32&) = delete;
  ~TaskbarButtonWin32() override;

  void ShowState(TaskbarState state) override;
  void ShowValue(int position, int max) override;

 private:
  TaskbarButtonWin32(HWND window, ITaskbarList3* list) : window_(window), list_(list) {}

  HWND window_;
  ITaskbarList3* list_;
};

// The message the taskbar announces a new button with. The utility runs elevated, and
// Explorer does not: its message is let through the window's message filter, which would
// otherwise drop it.
UINT AllowTaskbarButtonCreated(HWND window);
