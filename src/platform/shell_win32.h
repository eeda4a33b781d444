#pragma once
// The hidden shell command on Windows: the system's "cmd.exe" started hidden through
// ShellExecuteExW.
#include <windows.h>

#include <string>

#include "base/unique_handle_win32.h"
#include "platform/shell.h"

class ShellWin32 : public Shell {
 public:
  // `owner` is the window that owns whatever the shell may show; it may be null. Raises
  // Error when the system folder cannot be found.
  explicit ShellWin32(HWND owner);
  void Run(const std::wstring& parameters) override;
  void RunIn(const std::wstring& parameters, const std::wstring& folder) override;
  std::unique_ptr<CommandRun> RunTracked(const std::wstring& parameters) override;
  std::wstring SystemFolder() override { return system_folder_; }
  DesktopShell Desktop() override;
  std::optional<std::wstring> RunAsDesktop(const std::wstring& parameters) override;

 private:
  // Starts the command processor, in `folder` unless it is null; its process when `keep`
  // and the start succeeded.
  UniqueProcess Start(const std::wstring& parameters, bool keep, const wchar_t* folder = nullptr);

  HWND owner_;
  std::wstring system_folder_;
};
