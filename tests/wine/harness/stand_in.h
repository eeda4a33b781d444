#pragma once
// The platform stand-in (tests/tools/fake_platform.cpp) as the tests install, start,
// read and end it. Every installed copy logs its runs to 1cv8_calls.log in its own folder.
#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include "processes.h"
#include "standin_log.h"

namespace harness {

// Where the platform of a typical 64-bit machine lives: spaces and parentheses included.
inline constexpr wchar_t kTypicalPlatformPath[] = L"C:\\Program Files (x86)\\1cv8\\8.3.24.1467\\bin\\1cv8.exe";

// The stand-in's user-mode window.
inline constexpr wchar_t kStandInWindowClass[] = L"StandIn1cv8";

// Copies the built stand-in (KALVERA_STANDIN) to `path`, making its folders; the file name
// may be anything ("1CV8C.exe", "Fake1cv8.exe").
void InstallStandIn(const std::wstring& path);

// Sets how long a batch run of a stand-in started from now on (by this process, or by
// the utility it starts) stays alive before it ends; the stand-in's default is 2000 ms.
void SetStandInBatchTime(std::chrono::milliseconds time);

// The log of the copy installed at `path`, and its complete runs in order (none when it
// has not run yet).
std::wstring StandInLogPath(const std::wstring& path);
std::vector<StandInRun> ReadStandInRuns(const std::wstring& path);
// Waits until the log holds at least `count` runs; the runs at the deadline.
std::vector<StandInRun> WaitForStandInRuns(const std::wstring& path, size_t count,
                                           std::chrono::milliseconds timeout);
// The program name the run was started as (from its raw command line).
std::wstring ProgramOf(const StandInRun& run);

// Starts the copy at `path` directly (user mode unless `arguments` say otherwise) and,
// for user mode, waits until its window is up.
ChildProcess StartStandIn(const std::wstring& path, const std::wstring& arguments = L"ENTERPRISE");
// The user-mode window of stand-in `pid`, null if none (yet).
HWND StandInWindow(DWORD pid);
// Closes a user-mode stand-in as a user would (WM_CLOSE) and waits for its end.
bool CloseStandIn(DWORD pid, std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));

}  // namespace harness
