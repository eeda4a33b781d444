#include "platform/process_list_win32.h"

#include <windows.h>
#include <tlhelp32.h>

#include <cwchar>

#include "base/system_message_win32.h"
#include "base/unique_handle_win32.h"
#include "platform/installed_program_win32.h"
#include "platform/process_path.h"

namespace {

// The image name is read from the system's record of the process, which this right
// reaches; SYNCHRONIZE tells whether the process has already ended.
constexpr DWORD kQueryAccess = PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE;

// QueryFullProcessImageNameW names the main executable in a buffer of this many characters.
constexpr DWORD kPathCapacity = 32768;

static_assert(sizeof(void*) != 8 || sizeof(PROCESSENTRY32W) == 568,
              "the 64-bit Toolhelp record the process scan is written for");

}  // namespace

bool ProcessListWin32::Scan(const std::function<bool(const ProcessEntry&)>& visit) {
  // The snapshot is closed on every way out, a visitor's error included.
  UniqueSnapshot snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return false;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
       more = ::Process32NextW(snapshot.get(), &entry)) {
    ProcessEntry process{std::wstring(entry.szExeFile, ::wcsnlen(entry.szExeFile, MAX_PATH)),
                         entry.th32ProcessID, std::nullopt};
    // Needs no access to the process itself, so another user's process is read too.
    DWORD session = 0;
    if (::ProcessIdToSessionId(entry.th32ProcessID, &session)) process.session = session;
    if (!visit(process)) return true;
  }
  return true;
}

std::optional<std::uint32_t> ProcessListWin32::OwnSession() {
  DWORD session = 0;
  if (!::ProcessIdToSessionId(::GetCurrentProcessId(), &session)) return std::nullopt;
  return session;
}

ExecutableImage ProcessListWin32::ExecutablePath(std::uint32_t pid) { return GetPathFromPID(pid); }

bool ProcessListWin32::IsInstalledProgram(const std::wstring& path) { return IsInstalledOnThisMachine(path); }

ExecutableImage GetPathFromPID(std::uint32_t pid) {
  UniqueProcess process(::OpenProcess(kQueryAccess, FALSE, pid));
  std::optional<std::uint32_t> open_error;
  std::wstring open_error_text;
  if (!process) {
    const DWORD code = ::GetLastError();
    open_error = code;
    open_error_text = SystemErrorText(code, SystemMessage(code));
  }
  const bool signalled = process && ::WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0;
  return JudgeExecutableImage(open_error, open_error_text, signalled, [&]() -> std::optional<std::wstring> {
    std::wstring buffer(kPathCapacity, L'\0');
    DWORD size = kPathCapacity;
    if (!::QueryFullProcessImageNameW(process.get(), 0, buffer.data(), &size)) return std::nullopt;
    buffer.resize(size);
    return buffer;
  });
}
