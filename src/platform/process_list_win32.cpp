#include "platform/process_list_win32.h"

#include <windows.h>
#include <tlhelp32.h>

#include <cwchar>

#include "base/error.h"
#include "base/system_library_win32.h"
#include "base/system_message_win32.h"
#include "base/unique_handle_win32.h"
#include "platform/process_path.h"

namespace {

// Both path queries name the main executable in a buffer of this many characters.
constexpr DWORD kPathCapacity = MAX_PATH;

// PROCESS_QUERY_INFORMATION | PROCESS_VM_READ: what GetModuleFileNameExW needs.
constexpr DWORD kQueryAccess = 0x410;

static_assert(sizeof(void*) != 8 || sizeof(PROCESSENTRY32W) == 568,
              "the 64-bit Toolhelp record the process scan is written for");

using GetModuleFileNameExWFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPWSTR, DWORD);
using QueryFullProcessImageNameWFn = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD);

// PSAPI.dll is bound at the first use, from the system folder; when it or the function is
// missing the query simply counts as failed, and nothing is reported.
GetModuleFileNameExWFn ModuleFileNameFunction() {
  static const GetModuleFileNameExWFn function = []() -> GetModuleFileNameExWFn {
    try {
      GetModuleFileNameExWFn bound = nullptr;
      SystemLibrary(L"psapi.dll").Bind(bound, "GetModuleFileNameExW");
      return bound;
    } catch (const Error&) {
      return nullptr;
    }
  }();
  return function;
}

unsigned MajorVersion() {
  // RtlGetVersion tells the truth where GetVersionExW is shimmed by the manifest.
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (HMODULE ntdll = ::GetModuleHandleW(L"ntdll")) {
    auto rtl_get_version = reinterpret_cast<RtlGetVersionFn>(
        reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlGetVersion")));
    if (rtl_get_version && rtl_get_version(&info) == 0) return info.dwMajorVersion;
  }
  if (::GetVersionExW(&info)) return info.dwMajorVersion;
  return 0;
}

std::wstring TextUpToNul(const wchar_t* buffer) {
  return std::wstring(buffer, ::wcsnlen(buffer, kPathCapacity));
}

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

std::wstring ProcessListWin32::ExecutablePath(std::uint32_t pid) { return GetPathFromPID(pid); }

std::wstring GetPathFromPID(std::uint32_t pid) {
  UniqueProcess process(::OpenProcess(kQueryAccess, FALSE, pid));
  if (!process) {
    const DWORD code = ::GetLastError();
    throw Error(SystemErrorText(code, SystemMessage(code)));
  }
  wchar_t buffer[kPathCapacity] = {};
  const auto module_file_name = [&]() -> std::optional<std::wstring> {
    const GetModuleFileNameExWFn function = ModuleFileNameFunction();
    if (!function || function(process.get(), nullptr, buffer, kPathCapacity) == 0) return std::nullopt;
    return TextUpToNul(buffer);
  };
  const auto full_image_name = [&]() -> std::optional<std::wstring> {
    HMODULE kernel32 = ::GetModuleHandleW(L"kernel32");
    auto function = kernel32 ? reinterpret_cast<QueryFullProcessImageNameWFn>(reinterpret_cast<void*>(
                                   ::GetProcAddress(kernel32, "QueryFullProcessImageNameW")))
                             : nullptr;
    DWORD size = kPathCapacity;
    if (!function || !function(process.get(), 0, buffer, &size)) return std::nullopt;
    return TextUpToNul(buffer);
  };
  return ChooseExecutablePath(module_file_name, MajorVersion(), full_image_name);
}
