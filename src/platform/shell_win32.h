#pragma once
// The hidden shell command on Windows: the system's "cmd.exe" started hidden through
// ShellExecuteW.
#include <windows.h>

#include <string>

#include "platform/shell.h"

class ShellWin32 : public Shell {
 public:
  // `owner` is the window that owns whatever the shell may show; it may be null. Raises
  // Error when the system folder cannot be found.
  explicit ShellWin32(HWND owner);
  void Run(const std::wstring& parameters) override;
  std::wstring SystemFolder() override { return system_folder_; }

 private:
  HWND owner_;
  std::wstring system_folder_;
};
