#include "platform/shell_win32.h"

#include <shellapi.h>

void ShellWin32::Run(const std::wstring& parameters) {
  // The result is not examined on purpose: whether a command worked shows only in a
  // later process scan, and a failed one is left to go unnoticed.
  ::ShellExecuteW(owner_, nullptr, L"cmd.exe", parameters.c_str(), nullptr, SW_HIDE);
}
