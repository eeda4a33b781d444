#pragma once
// Processes in this test's prefix: the Toolhelp list, and programs the test starts.
#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "base/unique_handle_win32.h"

namespace harness {

struct ProcessEntry {
  std::wstring name;  // file name in its on-disk case; empty for a moment after a start
  DWORD pid = 0;
  DWORD parent_pid = 0;
};

// A fresh Toolhelp snapshot.
std::vector<ProcessEntry> RunningProcesses();
// Ids of the running processes whose name equals `name`, ignoring case.
std::vector<DWORD> ProcessIdsNamed(const std::wstring& name);
bool IsProcessRunning(DWORD pid);
// Waits until process `pid` has ended (a process that cannot be opened counts as ended).
bool WaitForProcessExit(DWORD pid, std::chrono::milliseconds timeout);
// Waits until no process named `name` (ignoring case) is left.
bool WaitForNoProcessNamed(const std::wstring& name, std::chrono::milliseconds timeout);

// A program this test started; the handle is closed when it goes, the program is not ended.
class ChildProcess {
 public:
  ChildProcess(UniqueKernelHandle process, DWORD pid) : process_(std::move(process)), pid_(pid) {}
  DWORD pid() const { return pid_; }
  HANDLE handle() const { return process_.get(); }
  bool Running() const;
  // The exit code once it has ended within `timeout`; nothing while it still runs.
  std::optional<DWORD> WaitForExit(std::chrono::milliseconds timeout) const;
  // Force-ends it (exit code 1) and waits for the end.
  void Terminate() const;

 private:
  UniqueKernelHandle process_;
  DWORD pid_;
};

// Starts `exe` (quoted on the command line) with `arguments` after a space, optionally in
// `working_folder`; raises std::runtime_error when it cannot be started.
ChildProcess Launch(const std::wstring& exe, const std::wstring& arguments = L"",
                    const std::wstring& working_folder = L"");
// Starts the utility under test (KALVERA_APP) once no earlier run of it is left: waits for
// one, and ends one still there after 30 seconds.
ChildProcess LaunchApp();

}  // namespace harness
