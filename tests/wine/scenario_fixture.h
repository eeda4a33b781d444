#pragma once
// What the scenario tests share: the files the servers hold, the places the utility
// writes to, and a view of the platform stand-in's runs.
#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "harness.h"
#include "base/control_ids.h"

namespace scenario {

// A configuration file as the configuration server serves it; its bytes are its own so
// that the platform's copy proves which file the load got.
inline const std::string kConfiguration = "KALVERA CONFIGURATION 2026.12\n" + std::string(40000, 'k');

inline std::wstring DownloadFolder() { return harness::UserProfile() + L"\\Downloads\\KalveraDownload"; }
inline std::wstring PackageFile() { return DownloadFolder() + L"\\update_pack.zip"; }
inline const std::wstring kProgramData = L"C:\\ProgramData";
// The run folders in the program data folder now, as full paths.
inline std::vector<std::wstring> RunFolders() {
  std::vector<std::wstring> folders;
  WIN32_FIND_DATAW found{};
  const HANDLE search = ::FindFirstFileW((kProgramData + L"\\Kalvera-*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return folders;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) folders.push_back(kProgramData + L"\\" + found.cFileName);
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  return folders;
}
// Where the setup program stand-in was started from, and its current folder, run by run.
struct SetupRun {
  std::wstring image, current_folder;
};
inline std::vector<SetupRun> SetupRuns() {
  const std::wstring log = harness::TestTmp() + L"\\setup_runs.txt";
  std::vector<SetupRun> runs;
  if (!harness::FileExists(log)) return runs;
  const std::string bytes = harness::ReadFileBytes(log);
  const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
  std::vector<std::wstring> lines;
  for (size_t at = 0, end; (end = text.find(L'\n', at)) != std::wstring::npos; at = end + 1) {
    lines.push_back(text.substr(at, end - at));
  }
  for (size_t i = 0; i + 1 < lines.size(); i += 2) runs.push_back({lines[i], lines[i + 1]});
  return runs;
}
inline std::wstring ConfigurationFile() { return harness::UserProfile() + L"\\Documents\\Kalvera1C\\database.cf"; }
// The base folder the window proposes, as the platform's files are found in it.
inline std::wstring DefaultBase() { return harness::UserProfile() + L"\\Documents\\kalvera_base"; }

inline void ServeConfiguration() { harness::ServeFile(L"/resources/database.cf", kConfiguration); }
inline const std::wstring kPackageUrl = L"/install/download/Setup1C.zip";
// Served plainly: a poor-network mode an earlier case set is taken away.
inline void ServePackage(const std::string& bytes) {
  harness::ServeFile(kPackageUrl, bytes);
  ::DeleteFileW(harness::ServedPath(kPackageUrl + L".__mode").c_str());
}
// The package served as a poor network would: the test server's mode words, until the next ServePackage.
inline void ServePackageAs(const std::string& mode) { harness::ServeFile(kPackageUrl + L".__mode", mode); }
inline std::string TestPackage() { return harness::ReadFileBytes(harness::RequiredVariable(L"KALVERA_PACKAGE")); }

// Each run as "<mode> <the switches that tell the stage>", e.g. "CONFIG /LoadCfg".
inline std::vector<std::wstring> Stages(const std::vector<StandInRun>& runs) {
  std::vector<std::wstring> stages;
  for (const StandInRun& run : runs) {
    std::wstring stage = run.args.empty() ? L"(none)" : run.args[0];
    for (const std::wstring& arg : run.args) {
      if (arg == L"/LoadCfg" || arg == L"/UpdateDBCfg") stage += L" " + arg;
    }
    stages.push_back(stage);
  }
  return stages;
}

// The same for a base creation: the user's run, then the creation and the user-mode run,
// which start together, so either may log first (put back in the order they were
// started: "createinfobase" sorts after "ENTERPRISE"), then the rest.
inline std::vector<std::wstring> StagesOfBaseCreation(const std::vector<StandInRun>& runs) {
  std::vector<std::wstring> stages = Stages(runs);
  if (stages.size() >= 3) std::sort(stages.begin() + 1, stages.begin() + 3, std::greater<>());
  return stages;
}

// The utility started with its window up, and a click on one of its buttons.
struct Started {
  harness::ChildProcess app;
  HWND main;
};
inline Started ShowAndClick(harness::ChildProcess app, int button) {
  HWND main = harness::WaitForMainWindow(app.pid(), std::chrono::seconds(20));
  if (!main || !harness::WaitUntil([&] { return harness::IsShown(main); }, std::chrono::seconds(10))) {
    throw std::runtime_error("the main window did not show");
  }
  // At once, while start-up's removal of the download folder may still run: the full
  // installation must wait for it rather than see the folder vanish under its download.
  harness::Click(harness::Control(app.pid(), button));
  return {std::move(app), main};
}
inline Started StartAndClick(int button) { return ShowAndClick(harness::LaunchApp(), button); }

// A full installation of `package` and the served configuration, played to its end by a
// person who leaves the open message alone; the setup program stand-in takes `setup_time`,
// each of the platform's batch runs `batch_time`.
inline harness::ScenarioOutcome PlayFullInstallation(const std::string& package, std::chrono::milliseconds setup_time,
                                                     std::chrono::milliseconds batch_time) {
  ServePackage(package);
  // Over loopback the package may come in less than the player's sampling period on a
  // busy machine; a head held back for a second keeps the download's status up to be seen.
  ServePackageAs("hold-head 1");
  ServeConfiguration();
  ::SetEnvironmentVariableW(L"KALVERA_SETUP_MS", std::to_wstring(setup_time.count()).c_str());
  harness::SetStandInBatchTime(batch_time);
  auto [app, main] = StartAndClick(control_id::Button6);
  harness::UserPart user{harness::kTypicalPlatformPath};
  user.answer_requests = false;
  return harness::PlayScenario(app, main, user, std::chrono::seconds(180));
}


struct Answers {
  std::chrono::milliseconds longest_wait{0};  // for the status or an empty message
  int count = 0;
  std::wstring last_status;
};

// Asks the window for its status text and sends it an empty message, again and again,
// while `going_on` holds for the status, for at most `at_most`. Either is answered only
// when the utility's thread handles its messages. The start-up's empty status is not
// asked about: a thread busy when the click was posted handles the messages sent
// to it first, so the first answers may come before the click has been handled.
inline Answers AskWhile(HWND main, const std::function<bool(const std::wstring&)>& going_on,
                 std::chrono::milliseconds at_most) {
  using clock = std::chrono::steady_clock;
  HWND status_bar = harness::FindControl(main, control_id::StatusBar1);
  Answers answers;
  bool status_set = false;
  const auto end = clock::now() + at_most;
  while (clock::now() < end) {
    const auto asked = clock::now();
    answers.last_status = harness::StatusText(status_bar);
    status_set = status_set || !answers.last_status.empty();
    DWORD_PTR result = 0;
    const bool answered = ::SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result) != 0;
    answers.longest_wait = std::max(answers.longest_wait,
                                    std::chrono::duration_cast<std::chrono::milliseconds>(clock::now() - asked));
    if (!answered || (status_set && !going_on(answers.last_status))) break;
    ++answers.count;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return answers;
}

inline void EndProcessesNamed(const std::wstring& name) {
  for (DWORD pid : harness::ProcessIdsNamed(name)) {
    if (HANDLE process = ::OpenProcess(PROCESS_TERMINATE, FALSE, pid)) {
      ::TerminateProcess(process, 1);
      ::CloseHandle(process);
    }
  }
  harness::WaitForNoProcessNamed(name, std::chrono::seconds(10));
}

}  // namespace scenario
