#include "platform/shell_win32.h"

#include <shellapi.h>

#include "base/system_library_win32.h"
#include "platform/command_lines.h"

ShellWin32::ShellWin32(HWND owner) : owner_(owner), system_folder_(::SystemFolder()) {}

void ShellWin32::Run(const std::wstring& parameters) {
  // By its full path: Windows looks for a bare "cmd.exe" in the current folder and beside
  // the utility before the system folder. No folder is given, so the command still runs
  // in the utility's current folder and a relative base folder keeps its meaning.
  const std::wstring processor = SystemProgramPath(system_folder_, L"cmd.exe");
  // The result is not examined on purpose: whether a command worked shows only in a
  // later process scan, and a failed one is left to go unnoticed.
  ::ShellExecuteW(owner_, nullptr, processor.c_str(), CommandProcessorParameters(parameters).c_str(), nullptr,
                  SW_HIDE);
}
