#include "platform/shell_win32.h"

#include <shellapi.h>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "base/system_library_win32.h"
#include "base/system_message_win32.h"
#include "platform/command_lines.h"

namespace {

class CommandRunWin32 : public CommandRun {
 public:
  explicit CommandRunWin32(UniqueProcess process) : process_(std::move(process)) {}
  bool HasEnded() override { return !process_ || ::WaitForSingleObject(process_.get(), 0) != WAIT_TIMEOUT; }

 private:
  UniqueProcess process_;
};

// The token of a process, as its user sees it: the account's SID, elevated or not.
struct TokenFacts {
  std::vector<unsigned char> user;  // a TOKEN_USER record
  bool elevated = false;
};

std::optional<TokenFacts> FactsOf(HANDLE token) {
  TokenFacts facts;
  DWORD size = 0;
  ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  if (size == 0) return std::nullopt;
  facts.user.resize(size);
  if (!::GetTokenInformation(token, TokenUser, facts.user.data(), size, &size)) return std::nullopt;
  TOKEN_ELEVATION elevation{};
  if (!::GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size)) return std::nullopt;
  facts.elevated = elevation.TokenIsElevated != 0;
  return facts;
}

PSID SidOf(TokenFacts& facts) { return reinterpret_cast<TOKEN_USER*>(facts.user.data())->User.Sid; }

std::wstring LastError() { return SystemMessage(::GetLastError()); }

// The steps on the real system; each keeps what it opened for the next.
class ShellTokenStepsWin32 : public ShellTokenSteps {
 public:
  std::optional<std::wstring> FindShell(std::uint32_t& process_id) override {
    HWND shell = ::GetShellWindow();
    if (!shell) return L"no desktop shell window";
    DWORD pid = 0;
    if (!::GetWindowThreadProcessId(shell, &pid)) return LastError();
    process_id = pid;
    return std::nullopt;
  }
  std::optional<std::wstring> OpenShellProcess(std::uint32_t process_id) override {
    process_.reset(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id));
    if (!process_) return LastError();
    return std::nullopt;
  }
  std::optional<std::wstring> OpenShellToken() override {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(process_.get(), TOKEN_DUPLICATE | TOKEN_QUERY, &token)) return LastError();
    token_.reset(token);
    return std::nullopt;
  }
  std::optional<std::wstring> DuplicateShellToken() override {
    HANDLE primary = nullptr;
    if (!::DuplicateTokenEx(token_.get(),
                            TOKEN_QUERY | TOKEN_DUPLICATE | TOKEN_ASSIGN_PRIMARY | TOKEN_ADJUST_DEFAULT |
                                TOKEN_ADJUST_SESSIONID,
                            nullptr, SecurityImpersonation, TokenPrimary, &primary)) {
      return LastError();
    }
    primary_.reset(primary);
    return std::nullopt;
  }
  std::optional<std::wstring> StartWithShellToken(const std::wstring& processor,
                                                  const std::wstring& command_line) override {
    // The function may write into the command line's buffer.
    std::wstring line = command_line;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION started{};
    // The current folder is inherited, as with ShellExecuteExW, so a relative base folder
    // keeps its meaning.
    if (!::CreateProcessWithTokenW(primary_.get(), 0, processor.c_str(), line.data(), CREATE_NO_WINDOW, nullptr,
                                   nullptr, &startup, &started)) {
      return LastError();
    }
    ::CloseHandle(started.hThread);
    ::CloseHandle(started.hProcess);
    return std::nullopt;
  }
  HANDLE Token() const { return token_.get(); }

 private:
  UniqueProcess process_;
  UniqueKernelHandle token_;
  UniqueKernelHandle primary_;
};

}  // namespace

DesktopShell ShellWin32::Desktop() {
  DesktopShell desktop;
  ShellTokenStepsWin32 steps;
  std::uint32_t pid = 0;
  if (steps.FindShell(pid) || steps.OpenShellProcess(pid) || steps.OpenShellToken()) return desktop;
  HANDLE own = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &own)) return desktop;
  UniqueKernelHandle own_token(own);
  std::optional<TokenFacts> shell_facts = FactsOf(steps.Token());
  std::optional<TokenFacts> own_facts = FactsOf(own_token.get());
  if (!shell_facts || !own_facts) return desktop;
  desktop.found = true;
  desktop.same_account = ::EqualSid(SidOf(*shell_facts), SidOf(*own_facts)) != 0;
  desktop.elevated = shell_facts->elevated;
  return desktop;
}

std::optional<std::wstring> ShellWin32::RunAsDesktop(const std::wstring& parameters) {
  ShellTokenStepsWin32 steps;
  return RunWithShellToken(steps, SystemProgramPath(system_folder_, L"cmd.exe"),
                           CommandProcessorParameters(parameters));
}

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
