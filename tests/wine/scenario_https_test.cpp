// The base update's refusals over HTTPS, in a build whose servers are https://. The
// runner trusts a test certificate authority for this run alone and starts the server
// that each case names (tests/wine/CMakeLists.txt); the update that works is the one of
// scenario_update_test.cpp, run in the same build.
#include <gtest/gtest.h>

#include <thread>

#include "scenario_fixture.h"
#include "setup/addresses.h"

using namespace harness;
using namespace scenario;
using namespace std::chrono_literals;

namespace {

// The configuration is served, so that only the refusal keeps it from being loaded.
void ExpectRefusedNamingTheAddress(const std::wstring& why) {
  const std::wstring platform = kTypicalPlatformPath;
  InstallStandIn(platform);
  SetStandInBatchTime(1500ms);
  ::DeleteFileW(ConfigurationFile().c_str());
  ServeConfiguration();
  auto [app, main] = StartAndClick(control_id::Button9);

  const ScenarioOutcome outcome = PlayScenario(app, main, {platform}, 60s);
  ASSERT_TRUE(outcome.error_report.has_value());
  const std::wstring& report = *outcome.error_report;
  EXPECT_NE(report.find(L"\"" + ConfigurationAddress() + L"\""), std::wstring::npos) << ToUtf8(report);
  EXPECT_NE(report.find(why), std::wstring::npos) << ToUtf8(report);
  EXPECT_FALSE(FileExists(ConfigurationFile()));
  std::this_thread::sleep_for(2s);
  EXPECT_EQ(Stages(ReadStandInRuns(platform)), std::vector<std::wstring>{L"ENTERPRISE"})
      << "only the user's own run: no configuration load";
  app.Terminate();
}

}  // namespace

// The chain is whole: only its root is one that nobody trusts.
TEST(HttpsBaseUpdate, AnUntrustedCertificateIsReportedAndNothingIsLoaded) {
  ExpectRefusedNamingTheAddress(L"certificate is not trusted");
}

TEST(HttpsBaseUpdate, ACertificateForAnotherNameIsReportedAndNothingIsLoaded) {
  ExpectRefusedNamingTheAddress(L"certificate was issued for another name");
}

// The HTTPS server sends the request to the plain server, which holds the same file.
TEST(HttpsBaseUpdate, ARedirectToHttpIsReportedAndNothingIsLoaded) {
  ExpectRefusedNamingTheAddress(L"which is not secure");
}
