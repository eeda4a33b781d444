// The utility saved into a Downloads folder that also holds planted libraries and
// programs, and started with another such folder as its current folder: start-up and a
// base update go through to their end and not one plant runs with the utility's rights.
#include <gtest/gtest.h>

#include "scenario_fixture.h"

using namespace harness;
using namespace scenario;
using namespace std::chrono_literals;

namespace {

// Wine loads propsys and dwmapi on demand by bare name; wininet, gdiplus, psapi and
// wtsapi32 are the utility's own run-time loads, and Windows would take any of them from
// beside the executable were it imported statically (Wine prefers its built-in copies).
const wchar_t* const kPlantedLibraries[] = {L"propsys.dll", L"dwmapi.dll",  L"uxtheme.dll", L"wininet.dll",
                                            L"gdiplus.dll", L"psapi.dll",   L"version.dll", L"iertutil.dll",
                                            L"wtsapi32.dll"};
// The command processor, the kill tool, and the platform by its bare name.
const wchar_t* const kPlantedPrograms[] = {L"cmd.exe", L"taskkill.exe", L"1cv8.exe"};

void Plant(const std::wstring& folder) {
  MakeDirectories(folder);
  const auto copy = [&](const std::wstring& from, const wchar_t* name) {
    const std::wstring to = folder + L"\\" + name;
    if (!::CopyFileW(from.c_str(), to.c_str(), FALSE)) throw std::runtime_error("cannot plant " + ToUtf8(to));
  };
  for (const wchar_t* name : kPlantedLibraries) copy(RequiredVariable(L"KALVERA_MARKER_LIBRARY"), name);
  for (const wchar_t* name : kPlantedPrograms) copy(RequiredVariable(L"KALVERA_MARKER_PROGRAM"), name);
}


}  // namespace

TEST(PlantedFiles, NoneRunsThroughStartUpAndABaseUpdate) {
  const std::wstring downloads = UserProfile() + L"\\Downloads";
  const std::wstring current = UserProfile() + L"\\Desktop\\saved files";
  Plant(downloads);
  Plant(current);
  const std::wstring app_path = downloads + L"\\KalveraBase.exe";
  ASSERT_TRUE(::CopyFileW(AppPath().c_str(), app_path.c_str(), FALSE));
  InstallStandIn(kTypicalPlatformPath);
  SetStandInBatchTime(1500ms);
  MakeDirectories(DefaultBase());
  ServeConfiguration();
  auto [app, main] = ShowAndClick(Launch(app_path, L"", current), control_id::Button9);

  const ScenarioOutcome outcome = PlayScenario(app, main, {kTypicalPlatformPath}, 120s);
  EXPECT_FALSE(outcome.error_report.has_value()) << ToUtf8(outcome.error_report.value_or(L""));
  EXPECT_EQ(outcome.exit_code, std::optional<DWORD>(0)) << Trail(outcome.statuses);
  const auto runs = WaitForStandInRuns(kTypicalPlatformPath, 4, 10s);
  EXPECT_EQ(Stages(runs), (std::vector<std::wstring>{L"ENTERPRISE", L"CONFIG /LoadCfg", L"CONFIG /UpdateDBCfg",
                                                      L"ENTERPRISE"}));
  EXPECT_EQ(ReadFileBytes(DefaultBase() + L"\\applied.cf"), kConfiguration);

  EXPECT_EQ(FileNamesIn(downloads, L"*.ran"), std::vector<std::wstring>{}) << "beside the executable";
  EXPECT_EQ(FileNamesIn(current, L"*.ran"), std::vector<std::wstring>{}) << "in the current folder";
  for (DWORD platform : ProcessIdsNamed(L"1cv8.exe")) CloseStandIn(platform);
}
