#include "platform/process_rules.h"

#include "platform/command_lines.h"

bool IsPlatformName(const std::wstring& exe_name) {
  return exe_name.find(L"1cv8") != std::wstring::npos;
}

bool IsSetupProgramName(const std::wstring& exe_name) { return exe_name == L"KalveraSetup1c.exe"; }

std::wstring KillCommand(const std::wstring& system_folder, std::uint32_t pid) {
  // With the quoted path the line holds more than two quotes, so cmd.exe strips the
  // outermost pair: the payload after "/C " gets one extra pair, as every platform
  // command's does.
  return L"/C \"" + Quoted(SystemProgramPath(system_folder, L"taskkill.exe")) + L" /F /PID " +
         std::to_wstring(pid) + L"\"";
}
