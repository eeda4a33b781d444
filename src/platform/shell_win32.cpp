#include "platform/shell_win32.h"

#include <shellapi.h>

#include <utility>

#include "base/system_library_win32.h"
#include "platform/command_lines.h"

namespace {

class CommandRunWin32 : public CommandRun {
 public:
  explicit CommandRunWin32(UniqueProcess process) : process_(std::move(process)) {}
  bool HasEnded() override { return !process_ || ::WaitForSingleObject(process_.get(), 0) != WAIT_TIMEOUT; }

 private:
  UniqueProcess process_;
};

}  // namespace

ShellWin32::ShellWin32(HWND owner) : owner_(owner), system_folder_(::SystemFolder()) {}

UniqueProcess ShellWin32::Start(const std::wstring& parameters, bool keep, const wchar_t* folder) {
  // By its full path: Windows looks for a bare "cmd.exe" in the current folder and beside
  // the utility before the system folder. Without a folder the command runs in the
  // utility's current folder, so that a relative base folder keeps its meaning.
  const std::wstring processor = SystemProgramPath(system_folder_, L"cmd.exe");
  const std::wstring arguments = CommandProcessorParameters(parameters);
  SHELLEXECUTEINFOW start{};
  start.cbSize = sizeof start;
  // With SEE_MASK_NOCLOSEPROCESS an executable's start hands back its process handle,
  // which the caller then owns; without it the call behaves as ShellExecuteW.
  start.fMask = keep ? SEE_MASK_NOCLOSEPROCESS : 0;
  start.hwnd = owner_;
  start.lpFile = processor.c_str();
  start.lpParameters = arguments.c_str();
  start.lpDirectory = folder;
  start.nShow = SW_HIDE;
  // The result is not examined on purpose: whether a command worked shows only in a
  // later process scan, and a failed one is left to go unnoticed.
  if (!::ShellExecuteExW(&start)) return UniqueProcess();
  return UniqueProcess(keep ? start.hProcess : nullptr);
}

void ShellWin32::Run(const std::wstring& parameters) { Start(parameters, false); }

void ShellWin32::RunIn(const std::wstring& parameters, const std::wstring& folder) {
  Start(parameters, false, folder.c_str());
}

std::unique_ptr<CommandRun> ShellWin32::RunTracked(const std::wstring& parameters) {
  return std::make_unique<CommandRunWin32>(Start(parameters, true));
}
