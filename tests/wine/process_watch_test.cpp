// The process watch against the real process list, OpenProcess and taskkill.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "base/error.h"
#include "harness.h"
#include "platform/process_list_win32.h"
#include "platform/process_rules.h"
#include "platform/shell_win32.h"

using namespace std::chrono_literals;

namespace {

// Every process of one scan of our session, by id, under the name the scan gave it.
std::map<std::uint32_t, std::wstring> ScannedNames() {
  std::map<std::uint32_t, std::wstring> names;
  ProcessListWin32 list;
  ScanOwnSession(list, [&](const std::wstring& name, std::uint32_t pid) {
    names[pid] = name;
    return true;
  });
  return names;
}

std::wstring InTmp(const std::wstring& relative) { return harness::TestTmp() + L"\\" + relative; }

}  // namespace

TEST(ProcessWatch, ScanNamesAProcessByItsFileInItsOnDiskCase) {
  const std::wstring path = InTmp(L"Bin\\Fake1cv8.exe");
  harness::InstallStandIn(path);
  // Started through a path in other letter case, as a user's shortcut might do.
  harness::ChildProcess standin = harness::StartStandIn(InTmp(L"BIN\\FAKE1CV8.EXE"));

  // A name is empty for a moment after a start; the window is up, but allow for it.
  const std::wstring name = harness::PollFor(
      [&] {
        const auto names = ScannedNames();
        const auto found = names.find(standin.pid());
        return found == names.end() ? std::wstring() : found->second;
      },
      5s);
  EXPECT_EQ(name, L"Fake1cv8.exe");
  EXPECT_TRUE(harness::CloseStandIn(standin.pid()));
}

TEST(ProcessWatch, PlatformRuleTakesLowerCase1cv8AnywhereOnTheRealList) {
  const std::wstring other_case = InTmp(L"upper\\1CV8.exe");
  const std::wstring inside = InTmp(L"inner\\my1cv8copy.exe");
  harness::InstallStandIn(other_case);
  harness::InstallStandIn(inside);
  harness::ChildProcess not_platform = harness::StartStandIn(other_case);
  harness::ChildProcess platform = harness::StartStandIn(inside);

  const auto names = ScannedNames();
  ASSERT_TRUE(names.count(not_platform.pid()));
  ASSERT_TRUE(names.count(platform.pid()));
  EXPECT_FALSE(IsPlatformName(names.at(not_platform.pid()))) << names.at(not_platform.pid());
  EXPECT_TRUE(IsPlatformName(names.at(platform.pid()))) << names.at(platform.pid());

  EXPECT_TRUE(harness::CloseStandIn(not_platform.pid()));
  EXPECT_TRUE(harness::CloseStandIn(platform.pid()));
}

TEST(ProcessWatch, VisitorEndsTheScanAndItsErrorPassesOn) {
  ProcessListWin32 list;
  int visited = 0;
  list.Scan([&](const ProcessEntry&) {
    ++visited;
    return false;
  });
  EXPECT_EQ(visited, 1);

  EXPECT_THROW(list.Scan([](const ProcessEntry&) -> bool { throw Error(L"from the visitor"); }), Error);
  // The snapshot of the failed scan is gone; the next one still sees the list.
  EXPECT_GT(ScannedNames().size(), 1u);
}

TEST(GetPathFromPID, GivesTheFullPathOfAPlatformUnderProgramFiles) {
  harness::InstallStandIn(harness::kTypicalPlatformPath);
  harness::ChildProcess standin = harness::StartStandIn(harness::kTypicalPlatformPath);

  const ExecutableImage image = GetPathFromPID(standin.pid());
  EXPECT_EQ(image.state, ExecutableImage::State::kRead);
  EXPECT_EQ(image.path, harness::kTypicalPlatformPath);
  ProcessListWin32 list;
  EXPECT_EQ(list.ExecutablePath(standin.pid()).path, harness::kTypicalPlatformPath);
  EXPECT_TRUE(list.IsInstalledProgram(image.path)) << "under FOLDERID_ProgramFilesX86";
  EXPECT_TRUE(harness::CloseStandIn(standin.pid()));
  // Its handle is signalled once it has ended, whether or not the id is still taken.
  EXPECT_EQ(GetPathFromPID(standin.pid()).state, ExecutableImage::State::kExited);
}

TEST(GetPathFromPID, AnIdThatNamesNoProcessHasExited) {
  std::uint32_t unused_pid = 4;
  for (const auto& [pid, name] : ScannedNames()) unused_pid = std::max(unused_pid, pid + 4000);
  for (std::uint32_t pid : {unused_pid, 0u}) {
    SCOPED_TRACE(pid);
    // OpenProcess fails with ERROR_INVALID_PARAMETER for both.
    EXPECT_EQ(GetPathFromPID(pid).state, ExecutableImage::State::kExited);
  }
}

// Every process of the one session is ours: the scan of our session sees them all.
TEST(KillCommand, EndsThatProcessAndNoOtherOfTheSameName) {
  harness::InstallStandIn(harness::kTypicalPlatformPath);
  harness::ChildProcess platform = harness::StartStandIn(harness::kTypicalPlatformPath);
  harness::ChildProcess bystander = harness::StartStandIn(harness::kTypicalPlatformPath);
  ASSERT_TRUE(ScannedNames().count(platform.pid()));

  ShellWin32 shell(nullptr);
  shell.Run(KillCommand(shell.SystemFolder(), platform.pid()));

  EXPECT_TRUE(platform.WaitForExit(15s).has_value());
  EXPECT_TRUE(harness::WaitForNoProcessNamed(L"cmd.exe", 10s));
  EXPECT_TRUE(bystander.Running());
  EXPECT_TRUE(harness::CloseStandIn(bystander.pid()));
}
