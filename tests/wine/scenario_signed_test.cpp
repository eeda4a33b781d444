// The downloads checked against the vendor's key, in a build that carries a test key; the
// runner's servers sign what they serve with its private half (tests/wine/CMakeLists.txt),
// and a "<file>.signed" beside a file is what the signature was made over instead.
#include <gtest/gtest.h>

#include <thread>

#include "../unit/zip_builder.h"
#include "scenario_fixture.h"
#include "setup/addresses.h"

using namespace harness;
using namespace scenario;
using namespace std::chrono_literals;

namespace {

std::wstring SetupProgram() { return DownloadFolder() + L"\\KalveraSetup1c.exe"; }

// The package as someone between the server and the user would hand it over: a
// well-formed ZIP whose setup program is their own (one that leaves a marker when run).
std::string PackageWithAnotherSetupProgram() {
  zip_test::Entry program;
  program.name = "KalveraSetup1c.exe";
  program.data = ReadFileBytes(RequiredVariable(L"KALVERA_MARKER_PROGRAM"));
  zip_test::Archive archive;
  archive.entries.push_back(program);
  return archive.Build();
}

// A full installation refused at the package: one report naming it and the reason, and
// neither the package nor anything from it is left to run.
void ExpectPackageRefused(const std::wstring& why) {
  ::DeleteFileW(SetupProgram().c_str());
  auto [app, main] = StartAndClick(control_id::Button6);
  const ScenarioOutcome outcome = PlayScenario(app, main, {kTypicalPlatformPath}, 60s);
  ASSERT_TRUE(outcome.error_report.has_value());
  const std::wstring& report = *outcome.error_report;
  EXPECT_NE(report.find(L"The platform package \"" + PackageAddress() + L"\" is not signed by the vendor's key: " + why),
            std::wstring::npos)
      << ToUtf8(report);
  EXPECT_FALSE(Sighting(outcome.statuses, L"Распаковка файлов 1\u0441...")) << "nothing is unpacked";
  std::this_thread::sleep_for(2s);
  EXPECT_FALSE(FileExists(PackageFile()));
  EXPECT_FALSE(FileExists(SetupProgram()));
  EXPECT_FALSE(FileExists(SetupProgram() + L".ran"));
  EXPECT_TRUE(ProcessIdsNamed(L"KalveraSetup1c.exe").empty());
  app.Terminate();
}

}  // namespace

TEST(SignedDownloads, ASignedPackageAndConfigurationCompleteAFullInstallation) {
  const ScenarioOutcome outcome = PlayFullInstallation(TestPackage(), 1000ms, 1000ms);
  ASSERT_FALSE(outcome.error_report.has_value()) << ToUtf8(*outcome.error_report);
  EXPECT_EQ(outcome.exit_code, 0u);
  const auto runs = WaitForStandInRuns(kTypicalPlatformPath, 6, 10s);
  EXPECT_EQ(StagesOfBaseCreation(runs), (std::vector<std::wstring>{L"ENTERPRISE", L"createinfobase", L"ENTERPRISE",
                                                      L"CONFIG /LoadCfg", L"CONFIG /UpdateDBCfg", L"ENTERPRISE"}));
  EXPECT_EQ(ReadFileBytes(ConfigurationFile()), kConfiguration);
  for (DWORD pid : ProcessIdsNamed(L"1cv8.exe")) CloseStandIn(pid);

  // Both download lines of the run's log (the newest) tell the check and its result.
  const std::wstring log_folder = UserProfile() + L"\\Documents\\Kalvera1C";
  const std::vector<std::wstring> logs = FileNamesIn(log_folder, L"*.log");
  ASSERT_FALSE(logs.empty());
  const std::string log = ReadFileBytes(log_folder + L"\\" + logs.back());
  std::size_t verified = 0;
  for (std::size_t at = log.find(", signature verified in "); at != std::string::npos;
       at = log.find(", signature verified in ", at + 1)) {
    ++verified;
  }
  EXPECT_EQ(verified, 2u) << log;
}

// The signature is the one the vendor made for the real package.
TEST(SignedDownloads, APackageWithAReplacedSetupProgramIsRefusedAndNothingStarts) {
  ServePackage(PackageWithAnotherSetupProgram());
  ServeFile(kPackageUrl + L".signed", TestPackage());
  ExpectPackageRefused(L"the signature does not match");
}

// The runner starts this case's servers without the key: no ".sig" is there.
TEST(SignedDownloads, APackageWithoutASignatureIsRefusedAndNothingStarts) {
  ServePackage(TestPackage());
  ExpectPackageRefused(L"its signature could not be downloaded. Cannot download \"" + PackageAddress() + L".sig\"");
}

TEST(SignedDownloads, AChangedConfigurationIsRefusedAndNothingIsLoaded) {
  const std::wstring platform = kTypicalPlatformPath;
  InstallStandIn(platform);
  SetStandInBatchTime(1000ms);
  ::DeleteFileW(ConfigurationFile().c_str());
  std::string changed = kConfiguration;
  changed[100] = 'X';
  ServeFile(L"/resources/database.cf", changed);
  ServeFile(L"/resources/database.cf.signed", kConfiguration);
  auto [app, main] = StartAndClick(control_id::Button9);

  const ScenarioOutcome outcome = PlayScenario(app, main, {platform}, 60s);
  ASSERT_TRUE(outcome.error_report.has_value());
  EXPECT_NE(outcome.error_report->find(L"The configuration file \"" + ConfigurationAddress() +
                                       L"\" is not signed by the vendor's key: the signature does not match"),
            std::wstring::npos)
      << ToUtf8(*outcome.error_report);
  EXPECT_FALSE(FileExists(ConfigurationFile()));
  std::this_thread::sleep_for(2s);
  EXPECT_EQ(Stages(ReadStandInRuns(platform)), std::vector<std::wstring>{L"ENTERPRISE"})
      << "only the user's own run: no configuration load";
  app.Terminate();
}
