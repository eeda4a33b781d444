// Drives the utility under Wine the way a person would and says what it saw, for the
// demonstration (tools/demo.sh). Screenshots are taken by the script on request: this
// program drops "<name>.request" into KALVERA_SHOT_DIR and waits for "<name>.png".
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "harness.h"
#include "base/control_ids.h"

using namespace harness;
using namespace std::chrono_literals;

namespace {

void Say(const std::wstring& line) {
  const std::string utf8 = ToUtf8(line) + "\n";
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  std::fflush(stdout);
}

void Screenshot(const std::wstring& name) {
  const std::wstring folder = EnvironmentVariable(L"KALVERA_SHOT_DIR");
  if (folder.empty()) return;
  WriteFileBytes(folder + L"\\" + name + L".request", "");
  const bool taken = WaitUntil([&] { return FileExists(folder + L"\\" + name + L".png"); }, 15s);
  Say(taken ? L"  screenshot: " + name + L".png" : L"  (no screenshot: " + name + L")");
}

std::wstring DownloadFolder() { return UserProfile() + L"\\Downloads\\KalveraDownload"; }

int StartWithoutPlatform() {
  Say(L"1. Start-up with no platform running");
  WriteFileBytes(DownloadFolder() + L"\\update_pack.zip", "left over from an earlier run");
  Say(L"  download folder before start: " + std::wstring(DirectoryExists(DownloadFolder()) ? L"present" : L"missing"));
  ChildProcess app = LaunchApp();
  HWND main = WaitForMainWindow(app.pid(), 20s);
  if (!main) {
    Say(L"  the main window did not appear");
    return 1;
  }
  WaitUntil([&] { return IsShown(main); }, 10s);
  Say(L"  window: \"" + TextOf(main) + L"\"");
  Say(L"  Edit1 (base folder): " + TextOf(Control(app.pid(), control_id::Edit1)));
  const bool removed = WaitUntil([] { return !DirectoryExists(DownloadFolder()); }, 15s);
  Say(L"  download folder after start: " + std::wstring(removed ? L"removed" : L"still there"));
  Screenshot(L"01-main-window");
  PostClose(main);
  const auto code = app.WaitForExit(10s);
  Say(L"  closed by the user, exit code " + (code ? std::to_wstring(*code) : std::wstring(L"(still running)")));
  return removed && code == 0u ? 0 : 1;
}

int StartWithPlatformRunning() {
  Say(L"2. Start-up while a platform runs");
  InstallStandIn(kTypicalPlatformPath);
  ChildProcess platform = StartStandIn(kTypicalPlatformPath);
  Say(L"  platform stand-in running: " + std::wstring(kTypicalPlatformPath));
  ChildProcess app = LaunchApp();
  const auto box = WaitForMessageBox(app.pid(), 20s);
  if (!box) {
    Say(L"  no message appeared");
    CloseStandIn(platform.pid());
    return 1;
  }
  Say(L"  message \"" + box->caption + L"\": " + box->text);
  Screenshot(L"02-platform-running");
  ClickOk(*box);
  const auto code = app.WaitForExit(20s);
  Say(L"  after OK the utility ended, exit code " + (code ? std::to_wstring(*code) : std::wstring(L"(still running)")));
  CloseStandIn(platform.pid());
  return code == 0u ? 0 : 1;
}

// The full installation on the bundled package and configuration: the demo plays the
// user, who starts the platform when asked and closes it when told to.
int FullInstallation() {
  Say(L"3. Full installation");
  const std::string package = ReadFileBytes(RequiredVariable(L"KALVERA_PACKAGE"));
  ServeFile(L"/install/download/Setup1C.zip", package);
  ServeFile(L"/resources/database.cf", "KALVERA DEMO CONFIGURATION\n" + std::string(300000, 'k'));
  SetStandInBatchTime(std::chrono::milliseconds(2000));
  Say(L"  serving the platform package (" + std::to_wstring(package.size()) + L" bytes) and the configuration");
  ChildProcess app = LaunchApp();
  HWND main = WaitForMainWindow(app.pid(), 20s);
  if (!main || !WaitUntil([&] { return IsShown(main); }, 10s)) {
    Say(L"  the main window did not appear");
    return 1;
  }
  Say(L"  click: \"" + TextOf(Control(app.pid(), control_id::Button6)) + L"\"");
  Click(Control(app.pid(), control_id::Button6));
  UserPart user{kTypicalPlatformPath};
  user.answer_requests = false;
  int stage = 0;
  user.on_status = [&](const StatusSighting& seen) {
    Say(L"  status: " + seen.text + L"   (bar " + std::to_wstring(seen.position) + L" of " +
        std::to_wstring(seen.high) + L")");
    wchar_t name[64];
    std::swprintf(name, 64, L"03-%02d-stage", ++stage);
    Screenshot(name);
  };
  const ScenarioOutcome outcome = PlayScenario(app, main, user, 240s);
  if (outcome.error_report) {
    Say(L"  error report: " + *outcome.error_report);
    app.Terminate();
    return 1;
  }
  if (!outcome.exit_code) {
    Say(L"  the utility did not end in time");
    app.Terminate();
    return 1;
  }
  Say(L"  the utility ended, exit code " + std::to_wstring(*outcome.exit_code));
  // The last user-mode run was started just before the end; it takes a moment to show.
  const auto platforms = PollFor([] { return ProcessIdsNamed(L"1cv8.exe"); }, 15s);
  for (DWORD pid : platforms) PollFor([&] { return StandInWindow(pid); }, 15s);
  for (const StandInRun& run : ReadStandInRuns(kTypicalPlatformPath)) {
    std::wstring line;
    for (const std::wstring& arg : run.args) line += L" " + arg;
    Say(L"  platform run:" + line);
  }
  Say(L"  platform still open in user mode: " + std::wstring(platforms.empty() ? L"no" : L"yes"));
  Screenshot(L"03-99-platform-left-open");
  for (DWORD pid : platforms) CloseStandIn(pid);
  return *outcome.exit_code == 0 && !platforms.empty() ? 0 : 1;
}

}  // namespace

int wmain() {
  int failures = 0;
  try {
    failures += StartWithoutPlatform();
    failures += StartWithPlatformRunning();
    failures += FullInstallation();
  } catch (const std::exception& error) {
    Say(L"demo failed: " + FromUtf8(error.what()));
    return 1;
  }
  Say(failures ? L"Some steps did not go as expected." : L"Everything went as expected.");
  return failures ? 1 : 0;
}
