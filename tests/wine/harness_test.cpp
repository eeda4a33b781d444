// The harness's readers against windows whose contents are known, so that a later test's
// failure means the utility, not the driver. The stand-in's user-mode window holds a
// simple-mode status bar (id 1) showing its arguments and a progress bar (id 2) at 250 of 0..1000.
#include <gtest/gtest.h>

#include <thread>

#include "harness.h"

using namespace std::chrono_literals;

TEST(Harness, ReadsAnotherProcesssStatusBarAndProgressBar) {
  const std::wstring path = harness::TestTmp() + L"\\Стенд\\1cv8.exe";
  harness::InstallStandIn(path);
  harness::ChildProcess standin = harness::StartStandIn(path, L"ENTERPRISE /F \"C:\\база (1) & co\"");
  HWND window = harness::StandInWindow(standin.pid());
  ASSERT_TRUE(window);
  EXPECT_EQ(harness::TextOf(window), L"1C:Enterprise stand-in");

  HWND status = harness::FindControl(window, 1);
  ASSERT_TRUE(status);
  EXPECT_EQ(harness::ClassNameOf(status), L"msctls_statusbar32");
  EXPECT_EQ(harness::StatusText(status), L"ENTERPRISE /F C:\\база (1) & co");
  HWND bar = harness::FindControl(window, 2);
  ASSERT_TRUE(bar);
  EXPECT_EQ(harness::ProgressPosition(bar), 250);
  EXPECT_EQ(harness::ProgressRange(bar), std::make_pair(0, 1000));

  const std::vector<StandInRun> runs = harness::ReadStandInRuns(path);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].pid, standin.pid());
  EXPECT_EQ(harness::ProgramOf(runs[0]), path);
  EXPECT_EQ(runs[0].args, (std::vector<std::wstring>{L"ENTERPRISE", L"/F", L"C:\\база (1) & co"}));

  EXPECT_TRUE(harness::CloseStandIn(standin.pid()));
  EXPECT_EQ(standin.WaitForExit(5s), std::optional<DWORD>(0));
}

TEST(Harness, FindsReadsAndConfirmsAModalMessage) {
  int answer = 0;
  std::thread modal([&] { answer = ::MessageBoxW(nullptr, L"Необходимо закрыть все 1С", L"Caption", MB_OK); });
  const auto box = harness::WaitForMessageBox(::GetCurrentProcessId(), 10s);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->caption, L"Caption");
  EXPECT_EQ(box->text, L"Необходимо закрыть все 1С");
  EXPECT_TRUE(harness::ClickOk(*box));
  modal.join();
  EXPECT_EQ(answer, IDOK);
}

TEST(Harness, StandInBatchRunsLogAndEndByThemselves) {
  const std::wstring path = harness::TestTmp() + L"\\batch\\1cv8.exe";
  harness::InstallStandIn(path);
  harness::SetStandInBatchTime(100ms);
  // Started together, as the utility may: both blocks must come out whole.
  harness::ChildProcess first = harness::Launch(path, L"createinfobase File=\"" + harness::TestTmp() + L"\\b 1\"");
  harness::ChildProcess second = harness::Launch(path, L"CONFIG /S \"srv\\b\" /UpdateDBCfg");
  EXPECT_TRUE(first.WaitForExit(15s).has_value());
  EXPECT_TRUE(second.WaitForExit(15s).has_value());
  EXPECT_EQ(harness::ReadStandInRuns(path).size(), 2u);
  EXPECT_TRUE(harness::FileExists(harness::TestTmp() + L"\\b 1\\1Cv8.1CD"));
}
