#pragma once
// The hidden shell command on Windows: "cmd.exe" started hidden through ShellExecuteW.
#include <windows.h>

#include "platform/shell.h"

class ShellWin32 : public Shell {
 public:
  // `owner` is the window that owns whatever the shell may show; it may be null.
  explicit ShellWin32(HWND owner) : owner_(owner) {}
  void Run(const std::wstring& parameters) override;

 private:
  HWND owner_;
};
