#include "platform/process_rules.h"

bool IsPlatformName(const std::wstring& exe_name) {
  return exe_name.find(L"1cv8") != std::wstring::npos;
}

bool IsSetupProgramName(const std::wstring& exe_name) { return exe_name == L"KalveraSetup1c.exe"; }

std::wstring KillCommand(std::uint32_t pid) { return L"/C taskkill /F /PID " + std::to_wstring(pid); }
