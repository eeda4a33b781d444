#include "platform/unelevated_run.h"

#include "platform/installed_program.h"

std::wstring ProcessorCommandLine(const std::wstring& processor, const std::wstring& processor_parameters) {
  return L"\"" + processor + L"\" " + processor_parameters;
}

bool BaseIsThePersons(bool server_base, const std::wstring& base_folder, const std::wstring& profile) {
  if (server_base) return true;
  std::wstring folder = base_folder;
  for (wchar_t& c : folder) {
    if (c == L'/') c = L'\\';
  }
  if ((folder + L"\\").find(L"\\..\\") != std::wstring::npos) return false;
  return IsInsideFolder(folder, profile);
}

std::optional<std::wstring> WhyNotUnelevated(const DesktopShell& shell, bool base_is_persons,
                                             std::size_t command_line_length) {
  if (!shell.found) return L"no desktop shell whose token could be read";
  if (!shell.same_account) return L"the utility runs as another account than the desktop shell";
  if (shell.elevated) return L"the desktop shell runs elevated";
  // A base elsewhere may be one the person cannot write.
  if (!base_is_persons) return L"the file base lies outside the person's profile";
  if (command_line_length > kTokenCommandLineLimit) {
    return L"the command line is " + std::to_wstring(command_line_length) +
           L" characters long, over CreateProcessWithTokenW's limit of " + std::to_wstring(kTokenCommandLineLimit);
  }
  return std::nullopt;
}

std::optional<std::wstring> RunWithShellToken(ShellTokenSteps& steps, const std::wstring& processor,
                                              const std::wstring& processor_parameters) {
  const auto failed = [](const wchar_t* step, const std::wstring& why) {
    return std::wstring(step) + L" failed: " + why;
  };
  std::uint32_t shell = 0;
  // Under Wine there is no shell window even with a desktop running: the run falls back.
  if (auto why = steps.FindShell(shell)) return failed(L"GetShellWindow", *why);
  if (auto why = steps.OpenShellProcess(shell)) return failed(L"OpenProcess of the shell", *why);
  if (auto why = steps.OpenShellToken()) return failed(L"OpenProcessToken", *why);
  if (auto why = steps.DuplicateShellToken()) return failed(L"DuplicateTokenEx", *why);
  if (auto why = steps.StartWithShellToken(processor, ProcessorCommandLine(processor, processor_parameters))) {
    return failed(L"CreateProcessWithTokenW", *why);
  }
  return std::nullopt;
}
