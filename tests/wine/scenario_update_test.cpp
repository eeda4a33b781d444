// The base update with the real executable, the real process list and cmd.exe, from the
// click to the end, its stop on a configuration that is not there, and its files in a
// Documents folder that the system has moved elsewhere, with a second start meanwhile,
// or whose configuration folder is a link to elsewhere.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "scenario_fixture.h"

using namespace harness;
using namespace scenario;
using namespace std::chrono_literals;

namespace {

// The account's Documents moved (to a server share or another folder, as on shared servers)
// by its value in the registry, put back afterwards for the tests that follow.
class RedirectedDocuments {
 public:
  explicit RedirectedDocuments(const std::wstring& folder) {
    wchar_t old[MAX_PATH] = {};
    DWORD bytes = sizeof old;
    if (::RegGetValueW(HKEY_CURRENT_USER, kKey, L"Personal", RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, old,
                       &bytes) == ERROR_SUCCESS) {
      old_ = old;
    }
    Set(folder);
  }
  ~RedirectedDocuments() { Set(old_); }

 private:
  static constexpr wchar_t kKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
  static void Set(const std::wstring& value) {
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"Personal", REG_EXPAND_SZ, value.c_str(),
                      static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  }
  std::wstring old_ = L"%USERPROFILE%\\Documents";
};

}  // namespace

TEST(BaseUpdate, LoadsAndAppliesTheServedConfigurationThenLeavesTheBaseOpen) {
  InstallStandIn(kTypicalPlatformPath);
  SetStandInBatchTime(1500ms);
  MakeDirectories(DefaultBase());
  ServeConfiguration();
  // With credentials: the run log (in the Documents folder, as the README says) must show
  // the commands without the password, which the platform still receives.
  const std::wstring log_folder = UserProfile() + L"\\Documents\\Kalvera1C";
  const std::wstring password = L"s3cret-Pa55";
  harness::ChildProcess started = harness::LaunchApp();
  HWND window = harness::WaitForMainWindow(started.pid(), 20s);
  ASSERT_TRUE(window && harness::WaitUntil([&] { return harness::IsShown(window); }, 10s));
  harness::Click(harness::Control(started.pid(), control_id::CheckBox1));
  ASSERT_TRUE(harness::WaitUntil([&] { return harness::IsShown(harness::Control(started.pid(), control_id::Panel1)); }, 5s));
  harness::SetText(harness::Control(started.pid(), control_id::Edit2), L"Администратор");
  harness::SetText(harness::Control(started.pid(), control_id::Edit3), password);
  auto [app, main] = ShowAndClick(std::move(started), control_id::Button9);

  const ScenarioOutcome outcome = PlayScenario(app, main, {kTypicalPlatformPath}, 120s);
  ASSERT_FALSE(outcome.error_report.has_value()) << ToUtf8(*outcome.error_report);
  ASSERT_EQ(outcome.exit_code, 0u) << Trail(outcome.statuses);
  EXPECT_EQ(outcome.requests.size(), 1u);
  EXPECT_TRUE(SeenInOrder(outcome.statuses, {L"Подготовка...",
                                             L"Обновление конфигурации 1С...", L"Ожидание принятия изменений..."}))
      << Trail(outcome.statuses);
  const auto applying = Sighting(outcome.statuses, L"Ожидание принятия изменений...");
  ASSERT_TRUE(applying);
  EXPECT_EQ(applying->position, applying->high) << "the bar shows the download whole";

  // The user's own run, then the chain's three.
  const auto runs = WaitForStandInRuns(kTypicalPlatformPath, 4, 10s);
  EXPECT_EQ(Stages(runs), (std::vector<std::wstring>{L"ENTERPRISE", L"CONFIG /LoadCfg",
                                                      L"CONFIG /UpdateDBCfg", L"ENTERPRISE"}));
  EXPECT_EQ(ReadFileBytes(DefaultBase() + L"\\loaded.cf"), kConfiguration);
  EXPECT_EQ(ReadFileBytes(DefaultBase() + L"\\applied.cf"), kConfiguration);
  EXPECT_EQ(ReadFileBytes(ConfigurationFile()), kConfiguration) << "the configuration file is kept";

  // The run's log: the newest of the folder's logs, which sort by their start.
  const std::vector<std::wstring> logs = FileNamesIn(log_folder, L"*.log");
  ASSERT_FALSE(logs.empty()) << "no log in " << ToUtf8(log_folder);
  const std::string log = ReadFileBytes(log_folder + L"\\" + logs.back());
  EXPECT_NE(log.find("/P\"***\" /UpdateDBCfg"), std::string::npos) << log;
  EXPECT_NE(log.find("end: exit code 0"), std::string::npos) << log;
  EXPECT_EQ(log.find(ToUtf8(password)), std::string::npos) << log;
  EXPECT_TRUE(std::any_of(runs.begin(), runs.end(), [&](const StandInRun& run) {
    return std::find(run.args.begin(), run.args.end(), L"/P" + password) != run.args.end();
  })) << "the platform was given the password";

  // The last user-mode run outlives the utility.
  const auto platforms = ProcessIdsNamed(L"1cv8.exe");
  ASSERT_EQ(platforms.size(), 1u);
  EXPECT_TRUE(PollFor([&] { return StandInWindow(platforms[0]); }, 10s));
  EXPECT_TRUE(CloseStandIn(platforms[0]));
}

TEST(BaseUpdate, AMissingConfigurationIsReportedAndNothingIsLoaded) {
  const std::wstring platform = L"C:\\Program Files\\1cv8 second\\bin\\1cv8.exe";
  InstallStandIn(platform);
  SetStandInBatchTime(1500ms);
  ::DeleteFileW(ConfigurationFile().c_str());
  ::DeleteFileW((HttpRoot() + L"\\resources\\database.cf").c_str());
  auto [app, main] = StartAndClick(control_id::Button9);

  const ScenarioOutcome outcome = PlayScenario(app, main, {platform}, 60s);
  ASSERT_TRUE(outcome.error_report.has_value());
  EXPECT_NE(outcome.error_report->find(L"404"), std::wstring::npos) << ToUtf8(*outcome.error_report);
  EXPECT_NE(outcome.error_report->find(L"/resources/database.cf"), std::wstring::npos);
  EXPECT_TRUE(app.Running()) << "the program goes on after the report";
  EXPECT_FALSE(FileExists(ConfigurationFile()));
  std::this_thread::sleep_for(2s);
  EXPECT_EQ(Stages(ReadStandInRuns(platform)), std::vector<std::wstring>{L"ENTERPRISE"})
      << "only the user's own run: no configuration load";
  app.Terminate();
}

TEST(BaseUpdate, KeepsToARedirectedDocumentsFolderAndASecondStartMeanwhileOnlyHandsOver) {
  const std::wstring documents = L"C:\\Redirected\\Documents";
  const RedirectedDocuments redirected(documents);
  const std::wstring platform = L"C:\\Program Files\\1cv8 third\\bin\\1cv8.exe";
  InstallStandIn(platform);
  SetStandInBatchTime(1500ms);
  MakeDirectories(documents + L"\\kalvera_base");
  ServeConfiguration();
  // What an update in the profile's own Documents would leave there.
  ::DeleteFileW(ConfigurationFile().c_str());
  ::DeleteFileW((DefaultBase() + L"\\loaded.cf").c_str());
  const std::wstring own_logs = UserProfile() + L"\\Documents\\Kalvera1C";
  const std::size_t own_logs_before = FileNamesIn(own_logs, L"*.log").size();

  auto [app, main] = StartAndClick(control_id::Button9);
  EXPECT_EQ(TextOf(Control(app.pid(), control_id::Edit1)), L"C:/Redirected/Documents/kalvera_base");
  // The update now waits for the person to start the platform.
  ASSERT_TRUE(WaitForMessageBox(app.pid(), 20s));
  const std::wstring logs = documents + L"\\Kalvera1C";
  const std::vector<std::wstring> logs_before = FileNamesIn(logs, L"*.log");
  ASSERT_FALSE(logs_before.empty()) << "no log in " << ToUtf8(logs);

  ChildProcess second = Launch(AppPath());
  bool second_window = false;
  WaitUntil([&] {
    second_window = second_window || FindMainWindow(second.pid()) || FindMessageBox(second.pid());
    return !second.Running();
  }, 30s);
  EXPECT_FALSE(second_window) << "the second start opened a window of its own";
  EXPECT_EQ(second.WaitForExit(1s), std::optional<DWORD>(0));
  EXPECT_EQ(FileNamesIn(logs, L"*.log"), logs_before) << "the second start wrote a log";

  const ScenarioOutcome outcome = PlayScenario(app, main, {platform}, 120s);
  ASSERT_FALSE(outcome.error_report.has_value()) << ToUtf8(*outcome.error_report);
  ASSERT_EQ(outcome.exit_code, 0u) << Trail(outcome.statuses);
  const auto runs = WaitForStandInRuns(platform, 4, 10s);
  EXPECT_EQ(Stages(runs), (std::vector<std::wstring>{L"ENTERPRISE", L"CONFIG /LoadCfg", L"CONFIG /UpdateDBCfg",
                                                      L"ENTERPRISE"}));
  EXPECT_EQ(ReadFileBytes(logs + L"\\database.cf"), kConfiguration);
  EXPECT_EQ(ReadFileBytes(documents + L"\\kalvera_base\\loaded.cf"), kConfiguration);
  EXPECT_FALSE(FileExists(ConfigurationFile())) << "the configuration file went to the profile's own Documents";
  EXPECT_FALSE(FileExists(DefaultBase() + L"\\loaded.cf"));
  EXPECT_EQ(FileNamesIn(own_logs, L"*.log").size(), own_logs_before);
  for (DWORD pid : ProcessIdsNamed(L"1cv8.exe")) CloseStandIn(pid);
}

// A program of the person's that the process list shows as "1cv8.exe" would run elevated
// if the utility took it for the platform.
TEST(BaseUpdate, APlatformOutsideTheProgramFoldersIsNeverRunAndTheInstalledOneFinishes) {
  const std::wstring foreign = UserProfile() + L"\\Downloads\\1cv8.exe";
  const std::wstring installed = L"C:\\Program Files\\1cv8 fourth\\bin\\1cv8.exe";
  InstallStandIn(installed);
  InstallStandIn(foreign);
  SetStandInBatchTime(1500ms);
  MakeDirectories(DefaultBase());
  ServeConfiguration();
  auto [app, main] = StartAndClick(control_id::Button9);

  const auto request = WaitForMessageBox(app.pid(), 20s);
  ASSERT_TRUE(request && request->text == kStartPlatformRequest);
  ASSERT_TRUE(ClickOk(*request));
  ChildProcess person_s = Launch(foreign, L"ENTERPRISE");
  const auto refusal = WaitForMessageBox(app.pid(), 20s);
  ASSERT_TRUE(refusal);
  EXPECT_EQ(refusal->text, L"Программа «" + foreign +
                               L"» не является платформой 1С, установленной на этом компьютере. "
                               L"Закройте её и запустите 1С из меню «Пуск».");
  ASSERT_TRUE(ClickOk(*refusal));
  // Told once: the ticks that still find it show nothing more.
  EXPECT_FALSE(WaitForMessageBox(app.pid(), 4s)) << "a second message";

  Launch(installed, L"ENTERPRISE");
  const ScenarioOutcome outcome = PlayScenario(app, main, {installed}, 120s);
  ASSERT_FALSE(outcome.error_report.has_value()) << ToUtf8(*outcome.error_report);
  ASSERT_EQ(outcome.exit_code, 0u) << Trail(outcome.statuses);
  EXPECT_EQ(Stages(WaitForStandInRuns(installed, 4, 10s)),
            (std::vector<std::wstring>{L"ENTERPRISE", L"CONFIG /LoadCfg", L"CONFIG /UpdateDBCfg", L"ENTERPRISE"}));
  EXPECT_EQ(Stages(ReadStandInRuns(foreign)), std::vector<std::wstring>{L"ENTERPRISE"})
      << "only the person's own start of it";
  for (DWORD pid : ProcessIdsNamed(L"1cv8.exe")) CloseStandIn(pid);
}

// run_in_prefix.sh made C:\linked\Documents\Kalvera1C a Unix symbolic link to
// C:\link_target (KALVERA_UNIX_LINKS), which Wine shows as a reparse point: what a program
// without the utility's rights could put in the person's Documents.
TEST(BaseUpdate, AConfigurationFolderLinkedElsewhereIsReportedAndNothingIsWrittenThere) {
  const std::wstring documents = L"C:\\linked\\Documents";
  const std::wstring target = L"C:\\link_target";
  ASSERT_TRUE(DirectoryExists(documents + L"\\Kalvera1C")) << "no link made by the runner";
  const RedirectedDocuments redirected(documents);
  const std::wstring platform = L"C:\\Program Files\\1cv8 fifth\\bin\\1cv8.exe";
  InstallStandIn(platform);
  SetStandInBatchTime(1500ms);
  MakeDirectories(documents + L"\\kalvera_base");
  ServeConfiguration();
  auto [app, main] = StartAndClick(control_id::Button9);

  const ScenarioOutcome outcome = PlayScenario(app, main, {platform}, 60s);
  ASSERT_TRUE(outcome.error_report.has_value());
  EXPECT_NE(outcome.error_report->find(documents + L"\\Kalvera1C"), std::wstring::npos)
      << ToUtf8(*outcome.error_report);
  EXPECT_TRUE(app.Running()) << "the program goes on after the report";
  std::this_thread::sleep_for(2s);
  EXPECT_EQ(FileNamesIn(target, L"*"), std::vector<std::wstring>{}) << "neither the configuration nor a log";
  EXPECT_EQ(Stages(ReadStandInRuns(platform)), std::vector<std::wstring>{L"ENTERPRISE"})
      << "only the user's own run: no configuration load";
  app.Terminate();
  for (DWORD pid : ProcessIdsNamed(L"1cv8.exe")) CloseStandIn(pid);
}
