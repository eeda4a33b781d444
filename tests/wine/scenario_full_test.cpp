// The full installation with the real executable: the package is downloaded, unpacked and
// its setup program run; the chain then goes on under the message it leaves open. Its
// stop on a package that cannot give the setup program, and the window's life while a
// large package unpacks.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <thread>

#include "scenario_fixture.h"

using namespace harness;
using namespace scenario;
using namespace std::chrono_literals;

namespace {

constexpr wchar_t kUnpacking[] = L"Распаковка файлов 1\u0441...";

bool WaitForStatus(HWND main, const std::wstring& status, std::chrono::milliseconds timeout) {
  HWND status_bar = FindControl(main, control_id::StatusBar1);
  return WaitUntil([&] { return StatusText(status_bar) == status; }, timeout);
}

std::string LargePackage() {
  const std::string package = ReadFileBytes(RequiredVariable(L"KALVERA_LARGE_PACKAGE"));
  if (package.size() < 100000000u) throw std::runtime_error("the large package is under 100 MB");
  return package;
}

}  // namespace

TEST(FullInstallation, InstallsThePlatformAndTheBaseUnderTheOpenMessage) {
  const std::string package = TestPackage();
  ASSERT_GT(package.size(), 6553500u) << "the bar's range must pass 65535";
  const ScenarioOutcome outcome = PlayFullInstallation(package, 3000ms, 1500ms);
  ASSERT_FALSE(outcome.error_report.has_value()) << ToUtf8(*outcome.error_report);
  ASSERT_EQ(outcome.exit_code, 0u) << "the termination request ends the program under the open message";
  ASSERT_FALSE(outcome.statuses.empty());
  EXPECT_TRUE(outcome.statuses.back().request_open) << "the chain reached its last stage under the message";
  EXPECT_TRUE(SeenInOrder(outcome.statuses,
                          {L"Загрузка 1с...", L"Ожидание установки 1С...",
                           L"Создание базы 1С...", L"Закройте 1С для продолжения",
                           L"Обновление конфигурации 1С...", L"Ожидание принятия изменений..."}))
      << Trail(outcome.statuses);
  const auto installing = Sighting(outcome.statuses, L"Ожидание установки 1С...");
  ASSERT_TRUE(installing);
  EXPECT_NEAR(installing->high, package.size() / 100.0, 0.5);  // the nearest hundreds, ties as the native test says
  EXPECT_GT(installing->high, 65535);
  EXPECT_EQ(installing->position, installing->high);

  const auto runs = WaitForStandInRuns(kTypicalPlatformPath, 6, 10s);
  EXPECT_EQ(StagesOfBaseCreation(runs), (std::vector<std::wstring>{L"ENTERPRISE", L"createinfobase", L"ENTERPRISE",
                                                      L"CONFIG /LoadCfg", L"CONFIG /UpdateDBCfg", L"ENTERPRISE"}));
  // Started from a run folder of its own, as its current folder; the folder went at the end.
  const std::vector<SetupRun> setups = SetupRuns();
  ASSERT_EQ(setups.size(), 1u);
  const std::wstring run_folder = FolderOf(setups[0].image);
  EXPECT_EQ(run_folder.rfind(kProgramData + L"\\Kalvera-", 0), 0u) << ToUtf8(setups[0].image);
  EXPECT_EQ(setups[0].current_folder, run_folder);
  EXPECT_FALSE(DirectoryExists(run_folder));
  EXPECT_TRUE(RunFolders().empty());
  EXPECT_FALSE(FileExists(PackageFile())) << "nothing goes to the download folder";
  EXPECT_EQ(ReadFileBytes(ConfigurationFile()), kConfiguration);
  for (DWORD pid : ProcessIdsNamed(L"1cv8.exe")) CloseStandIn(pid);
}

// A package that cannot give the setup program stops the chain with one report before
// anything is started, and the program then still closes as usual.
TEST(FullInstallation, APackageWithoutAWholeSetupProgramIsReportedAndNothingStarts) {
  struct Case {
    const char* what;
    void (*spoil)(std::string& package);
    const wchar_t* named;  // in the report
  };
  const Case cases[] = {
      {"damaged", [](std::string& p) { p.resize(p.size() / 2); }, nullptr},
      // The same length in both headers: the archive stays whole, the program is not in it.
      {"without the setup program",
       [](std::string& p) {
         for (size_t at = p.find("KalveraSetup1c.exe"); at != std::string::npos; at = p.find("KalveraSetup1c.exe"))
           p.replace(at, 18, "KalveraSetup1c.txt");
       },
       L"KalveraSetup1c.exe"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string package = TestPackage();
    c.spoil(package);
    ServePackage(package);
    auto [app, main] = StartAndClick(control_id::Button6);

    const ScenarioOutcome outcome = PlayScenario(app, main, {kTypicalPlatformPath}, 60s);
    ASSERT_TRUE(outcome.error_report.has_value());
    if (c.named) {
      EXPECT_NE(outcome.error_report->find(c.named), std::wstring::npos) << ToUtf8(*outcome.error_report);
    }
    EXPECT_TRUE(Sighting(outcome.statuses, L"Загрузка 1с..."));
    EXPECT_FALSE(Sighting(outcome.statuses, L"Ожидание установки 1С..."));
    const auto report = FindMessageBox(app.pid());
    ASSERT_TRUE(report && ClickOk(*report));
    std::this_thread::sleep_for(2s);
    EXPECT_TRUE(ProcessIdsNamed(L"KalveraSetup1c.exe").empty());
    EXPECT_TRUE(RunFolders().empty()) << "the run folder goes after the report";
    PostClose(main);
    EXPECT_EQ(app.WaitForExit(20s), 0u);
  }
}

// 8,400 files of a 106 MB package: under Wine each file created costs a good part of a
// millisecond, so the extraction lasts seconds, as a real package's does on Windows.
TEST(FullInstallation, ClosingTheWindowMidExtractionEndsTheProgramAndStartsNoSetup) {
  ServePackage(LargePackage());
  ASSERT_TRUE(WaitForNoProcessNamed(L"KalveraSetup1c.exe", 10s));
  auto [app, main] = StartAndClick(control_id::Button6);
  ASSERT_TRUE(WaitForStatus(main, kUnpacking, 120s));

  // The status shows only once the extraction has let the window handle its messages.
  const Answers answers = AskWhile(main, [](const std::wstring& status) { return status == kUnpacking; }, 500ms);
  ASSERT_EQ(answers.last_status, kUnpacking) << "the extraction ended before the window was closed";
  EXPECT_LT(answers.longest_wait, 1000ms);
  PostClose(main);

  const std::optional<DWORD> exit_code = app.WaitForExit(15s);
  ASSERT_TRUE(exit_code.has_value()) << "the program did not end";
  EXPECT_EQ(*exit_code, 0u);
  EXPECT_TRUE(ProcessIdsNamed(L"KalveraSetup1c.exe").empty());
  EXPECT_TRUE(RunFolders().empty()) << "the run folder and what was unpacked went at the close";
}

// Another program of the same person tries, again and again, to open the setup program for
// writing wherever it appears, the old download folder included; until the setup program
// runs, every try fails: the file is held without write or delete sharing, which Wine
// enforces as Windows does (access lists it does not).
TEST(FullInstallation, NoOtherProgramCanOverwriteTheSetupProgramBeforeItRuns) {
  ServePackage(TestPackage());
  ServeConfiguration();
  ::SetEnvironmentVariableW(L"KALVERA_SETUP_MS", L"3000");
  auto [app, main] = StartAndClick(control_id::Button6);
  int refused = 0, opened = 0;
  const auto running = [] { return !ProcessIdsNamed(L"KalveraSetup1c.exe").empty(); };
  const auto end = std::chrono::steady_clock::now() + 120s;
  while (!running() && std::chrono::steady_clock::now() < end) {
    std::vector<std::wstring> places = RunFolders();
    places.push_back(DownloadFolder());
    for (const std::wstring& folder : places) {
      const std::wstring program = folder + L"\\KalveraSetup1c.exe";
      const HANDLE file = ::CreateFileW(program.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
      const DWORD error = ::GetLastError();
      if (file != INVALID_HANDLE_VALUE) {
        ::CloseHandle(file);
        if (!running()) ++opened;  // once it runs, the hold may rightly have ended
      } else if (error == ERROR_SHARING_VIOLATION) {
        ++refused;
      }
    }
  }
  ASSERT_TRUE(running()) << "the setup program never started";
  EXPECT_GT(refused, 0) << "the setup program was never seen held";
  // The extraction's writer is closed and the hold opened at once after it; an opener may
  // slip into that moment once (on Windows the run folder's access list keeps it out
  // there too), while a file not held lets it in on every try.
  EXPECT_LE(opened, 1) << "opened for writing before it ran";
  PostClose(main);
  EXPECT_TRUE(app.WaitForExit(20s).has_value());
}

TEST(FullInstallation, TheWindowAnswersWithinASecondAllThroughALargeExtraction) {
  ServePackage(LargePackage());
  auto [app, main] = StartAndClick(control_id::Button6);

  // From the download on, so that a silence from the moment the status changes to the
  // extraction counts too; until the pause after it is over and the setup is awaited.
  using clock = std::chrono::steady_clock;
  std::optional<clock::time_point> unpacking_from;
  const Answers answers = AskWhile(main, [&](const std::wstring& status) {
    if (status == kUnpacking && !unpacking_from) unpacking_from = clock::now();
    return status == kUnpacking || status == L"Загрузка 1\u0441...";
  }, 150s);

  if (const auto box = FindMessageBox(app.pid())) ADD_FAILURE() << "an error report: " << ToUtf8(box->text);
  // The harness reads the text's length, then the text: a read across the change may
  // miss the last character.
  EXPECT_EQ(answers.last_status.substr(0, 21), L"Ожидание установки 1\u0421");
  EXPECT_LT(answers.longest_wait, 1000ms);
  ASSERT_TRUE(unpacking_from.has_value());
  const auto unpacking = std::chrono::duration_cast<std::chrono::milliseconds>(clock::now() - *unpacking_from);
  EXPECT_GT(unpacking, 2000ms) << "the extraction was too short to tell";
  app.Terminate();
  EndProcessesNamed(L"KalveraSetup1c.exe");
}
