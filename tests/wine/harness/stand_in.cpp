#include "stand_in.h"

#include <stdexcept>

#include "environment.h"
#include "files.h"
#include "platform_arguments.h"
#include "polling.h"
#include "window_driver.h"

namespace harness {

void InstallStandIn(const std::wstring& path) {
  MakeDirectories(FolderOf(path));
  if (!::CopyFileW(StandInPath().c_str(), path.c_str(), FALSE)) {
    throw std::runtime_error("cannot install the stand-in at \"" + ToUtf8(path) + "\" (error " +
                             std::to_string(::GetLastError()) + ")");
  }
}

void SetStandInBatchTime(std::chrono::milliseconds time) {
  ::SetEnvironmentVariableW(L"KALVERA_STANDIN_BATCH_MS", std::to_wstring(time.count()).c_str());
}

std::wstring StandInLogPath(const std::wstring& path) { return FolderOf(path) + L"\\1cv8_calls.log"; }

std::vector<StandInRun> ReadStandInRuns(const std::wstring& path) {
  const std::wstring log = StandInLogPath(path);
  if (!FileExists(log)) return {};
  return ParseStandInLog(FromUtf8(ReadFileBytes(log)));
}

std::vector<StandInRun> WaitForStandInRuns(const std::wstring& path, size_t count,
                                           std::chrono::milliseconds timeout) {
  std::vector<StandInRun> runs;
  WaitUntil(
      [&] {
        runs = ReadStandInRuns(path);
        return runs.size() >= count;
      },
      timeout);
  return runs;
}

std::wstring ProgramOf(const StandInRun& run) { return ParsePlatformCommandLine(run.raw).program; }

ChildProcess StartStandIn(const std::wstring& path, const std::wstring& arguments) {
  ChildProcess process = Launch(path, arguments);
  const std::vector<std::wstring> args = ParsePlatformCommandLine(L"1cv8.exe " + arguments).arguments;
  const bool user_mode =
      args.empty() || ::CompareStringOrdinal(args[0].c_str(), -1, L"ENTERPRISE", -1, TRUE) == CSTR_EQUAL;
  if (user_mode && !PollFor([&] { return StandInWindow(process.pid()); }, std::chrono::milliseconds(15000))) {
    throw std::runtime_error("the stand-in at \"" + ToUtf8(path) + "\" showed no window");
  }
  return process;
}

HWND StandInWindow(DWORD pid) { return FindTopLevelWindow(pid, kStandInWindowClass); }

bool CloseStandIn(DWORD pid, std::chrono::milliseconds timeout) {
  HWND window = StandInWindow(pid);
  if (window) PostClose(window);
  return WaitForProcessExit(pid, timeout);
}

}  // namespace harness
