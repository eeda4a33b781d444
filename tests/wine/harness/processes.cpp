#include "processes.h"

#include <tlhelp32.h>

#include <stdexcept>

#include "environment.h"
#include "files.h"
#include "polling.h"

namespace harness {

namespace {

bool SameNameIgnoringCase(const std::wstring& a, const std::wstring& b) {
  return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

DWORD Milliseconds(std::chrono::milliseconds duration) { return static_cast<DWORD>(duration.count()); }

}  // namespace

std::vector<ProcessEntry> RunningProcesses() {
  std::vector<ProcessEntry> entries;
  UniqueSnapshot snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return entries;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry)) {
    entries.push_back({entry.szExeFile, entry.th32ProcessID, entry.th32ParentProcessID});
  }
  return entries;
}

std::vector<DWORD> ProcessIdsNamed(const std::wstring& name) {
  std::vector<DWORD> ids;
  for (const ProcessEntry& entry : RunningProcesses()) {
    if (SameNameIgnoringCase(entry.name, name)) ids.push_back(entry.pid);
  }
  return ids;
}

bool IsProcessRunning(DWORD pid) {
  for (const ProcessEntry& entry : RunningProcesses()) {
    if (entry.pid == pid) return true;
  }
  return false;
}

bool WaitForProcessExit(DWORD pid, std::chrono::milliseconds timeout) {
  UniqueKernelHandle process(::OpenProcess(SYNCHRONIZE, FALSE, pid));
  if (!process) return true;
  return ::WaitForSingleObject(process.get(), Milliseconds(timeout)) == WAIT_OBJECT_0;
}

bool WaitForNoProcessNamed(const std::wstring& name, std::chrono::milliseconds timeout) {
  return WaitUntil([&] { return ProcessIdsNamed(name).empty(); }, timeout);
}

bool ChildProcess::Running() const { return ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

std::optional<DWORD> ChildProcess::WaitForExit(std::chrono::milliseconds timeout) const {
  if (::WaitForSingleObject(process_.get(), Milliseconds(timeout)) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  if (!::GetExitCodeProcess(process_.get(), &code)) return std::nullopt;
  return code;
}

void ChildProcess::Terminate() const {
  ::TerminateProcess(process_.get(), 1);
  ::WaitForSingleObject(process_.get(), 10000);
}

ChildProcess Launch(const std::wstring& exe, const std::wstring& arguments, const std::wstring& working_folder) {
  std::wstring command_line = L"\"" + exe + L"\"";
  if (!arguments.empty()) command_line += L" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(exe.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        working_folder.empty() ? nullptr : working_folder.c_str(), &startup, &info)) {
    throw std::runtime_error("cannot start \"" + ToUtf8(exe) + "\" (error " + std::to_string(::GetLastError()) +
                             ")");
  }
  ::CloseHandle(info.hThread);
  return ChildProcess(UniqueKernelHandle(info.hProcess), info.dwProcessId);
}

ChildProcess LaunchApp() {
  // A run of the utility started while another runs only hands over to it and ends, so the
  // run an earlier test (or an earlier step) started must be gone first. One that a failed
  // test left behind is ended, so that the failure stays that test's alone.
  const std::wstring app = AppPath();
  const std::wstring name = app.substr(app.find_last_of(L"\\/") + 1);
  if (!WaitForNoProcessNamed(name, std::chrono::seconds(30))) {
    for (DWORD pid : ProcessIdsNamed(name)) {
      const UniqueKernelHandle left(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
      if (left && ::TerminateProcess(left.get(), 1)) ::WaitForSingleObject(left.get(), 10000);
    }
  }
  return Launch(app);
}

}  // namespace harness
