#include "platform/process_rules.h"

bool IsPlatformName(const std::wstring& exe_name) {
  return exe_name.find(L"1cv8") != std::wstring::npos;
}

bool IsSetupProgramName(const std::wstring& exe_name) { return exe_name == L"KalveraSetup1c.exe"; }

std::wstring KillCommand(const std::wstring& exe_name) {
  return L"/C taskkill /f /im \"" + exe_name + L"\"";
}
