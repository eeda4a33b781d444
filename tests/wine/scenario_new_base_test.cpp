// The new base installation with the real executable: the base is created and opened,
// the chain waits until the user has closed it, then loads and applies the configuration.
#include <gtest/gtest.h>

#include "scenario_fixture.h"

using namespace harness;
using namespace scenario;
using namespace std::chrono_literals;

TEST(NewBaseInstallation, CreatesTheBaseWaitsForTheUserThenConfiguresIt) {
  InstallStandIn(kTypicalPlatformPath);
  SetStandInBatchTime(1500ms);
  ServeConfiguration();
  auto [app, main] = StartAndClick(control_id::Button7);

  const ScenarioOutcome outcome = PlayScenario(app, main, {kTypicalPlatformPath}, 150s);
  ASSERT_FALSE(outcome.error_report.has_value()) << ToUtf8(*outcome.error_report);
  ASSERT_EQ(outcome.exit_code, 0u);
  EXPECT_TRUE(SeenInOrder(outcome.statuses,
                          {L"Создание базы 1С...", L"Закройте 1С для продолжения",
                           L"Обновление конфигурации 1С...", L"Ожидание принятия изменений..."}))
      << Trail(outcome.statuses);

  const auto runs = WaitForStandInRuns(kTypicalPlatformPath, 6, 10s);
  EXPECT_EQ(StagesOfBaseCreation(runs), (std::vector<std::wstring>{L"ENTERPRISE", L"createinfobase", L"ENTERPRISE",
                                                      L"CONFIG /LoadCfg", L"CONFIG /UpdateDBCfg", L"ENTERPRISE"}));
  EXPECT_TRUE(FileExists(DefaultBase() + L"\\1Cv8.1CD"));
  EXPECT_EQ(ReadFileBytes(DefaultBase() + L"\\applied.cf"), kConfiguration);

  const auto platforms = ProcessIdsNamed(L"1cv8.exe");
  ASSERT_EQ(platforms.size(), 1u) << "the final user-mode run outlives the utility";
  EXPECT_TRUE(CloseStandIn(platforms[0]));
}
