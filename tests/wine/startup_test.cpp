// Start-up of the real executable: the guard against a running platform, the user name,
// the removal of the download folder, the window's place and its controls' first states.
#include <windows.h>

#include <gtest/gtest.h>

#include "harness.h"
#include "base/control_ids.h"

using namespace harness;
using namespace std::chrono_literals;

namespace {

const std::wstring kGuardMessage = L"Необходимо закрыть все 1С";

std::wstring DownloadFolder() { return UserProfile() + L"\\Downloads\\KalveraDownload"; }

void MakeDownloadFolderWithContent() {
  WriteFileBytes(DownloadFolder() + L"\\update_pack.zip", "old package");
  WriteFileBytes(DownloadFolder() + L"\\sub dir\\readonly.txt", "x");
  ::SetFileAttributesW((DownloadFolder() + L"\\sub dir\\readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
}

void CloseAndExpectExitCode0(const ChildProcess& app, HWND main) {
  PostClose(main);
  const auto code = app.WaitForExit(10s);
  ASSERT_TRUE(code.has_value());
  EXPECT_EQ(*code, 0u);
}

}  // namespace

TEST(Startup, WithoutPlatformShowsTheWindowInItsInitialStateAndRemovesTheDownloadFolder) {
  MakeDownloadFolderWithContent();
  ChildProcess app = LaunchApp();
  HWND main = WaitForMainWindow(app.pid(), 20s);
  ASSERT_TRUE(main);
  ASSERT_TRUE(WaitUntil([&] { return IsShown(main); }, 10s));
  EXPECT_FALSE(FindMessageBox(app.pid()).has_value());

  EXPECT_EQ(TextOf(Control(app.pid(), control_id::Edit1)), L"C:/Users/" + UserName() + L"/Documents/kalvera_base");
  for (int id : {control_id::Edit2, control_id::Edit3, control_id::Edit4, control_id::Edit5}) {
    EXPECT_EQ(TextOf(Control(app.pid(), id)), L"") << id;
  }
  for (int id : {control_id::Button6, control_id::Button7, control_id::Button9, control_id::CheckBox1,
                 control_id::CheckBox2, control_id::Panel3, control_id::Edit1}) {
    EXPECT_TRUE(IsShown(Control(app.pid(), id))) << id;
  }
  for (int id : {control_id::Button1, control_id::Button2, control_id::Button3, control_id::Button4,
                 control_id::Button5, control_id::Button8, control_id::Panel1, control_id::Panel2}) {
    EXPECT_FALSE(IsShown(Control(app.pid(), id))) << id;
  }
  EXPECT_FALSE(IsChecked(Control(app.pid(), control_id::CheckBox1)));
  EXPECT_FALSE(IsChecked(Control(app.pid(), control_id::CheckBox2)));
  EXPECT_EQ(StatusText(Control(app.pid(), control_id::StatusBar1)), L"");
  HWND bar = Control(app.pid(), control_id::ProgressBar1);
  EXPECT_EQ(ProgressRange(bar), std::make_pair(0, 100));
  EXPECT_EQ(ProgressPosition(bar), 0);

  RECT window{}, area{}, client{};
  ::GetWindowRect(main, &window);
  ::GetClientRect(main, &client);
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  EXPECT_EQ(client.right, 454);
  EXPECT_EQ(client.bottom, 672);
  EXPECT_EQ(window.left, area.left + (area.right - area.left - (window.right - window.left)) / 2);
  EXPECT_EQ(window.top, area.top + (area.bottom - area.top - (window.bottom - window.top)) / 2);

  // The hidden removal asks nothing, so it ends by itself and leaves no command processor.
  EXPECT_TRUE(WaitUntil([] { return !DirectoryExists(DownloadFolder()); }, 15s));
  EXPECT_TRUE(WaitForNoProcessNamed(L"cmd.exe", 15s));
  CloseAndExpectExitCode0(app, main);
}

TEST(Startup, EachRunningPlatformGetsOneMessageThenTheProgramEndsWithCode0) {
  for (int platforms : {1, 2}) {
    SCOPED_TRACE(platforms);
    InstallStandIn(kTypicalPlatformPath);
    InstallStandIn(L"C:\\other\\my1cv8c.exe");
    std::vector<ChildProcess> running;
    running.push_back(StartStandIn(kTypicalPlatformPath));
    if (platforms == 2) running.push_back(StartStandIn(L"C:\\other\\my1cv8c.exe"));
    MakeDownloadFolderWithContent();

    ChildProcess app = LaunchApp();
    for (int shown = 0; shown < platforms; ++shown) {
      auto box = WaitForMessageBox(app.pid(), 20s);
      ASSERT_TRUE(box.has_value()) << "message " << shown + 1;
      EXPECT_EQ(box->text, kGuardMessage);
      EXPECT_EQ(box->caption, L"Kalverabase");
      ASSERT_TRUE(ClickOk(*box));
    }
    const auto code = app.WaitForExit(20s);
    ASSERT_TRUE(code.has_value()) << "a further message or no termination";
    EXPECT_EQ(*code, 0u);
    // Start-up went on all the same: the removal was issued.
    EXPECT_TRUE(WaitUntil([] { return !DirectoryExists(DownloadFolder()); }, 15s));
    // The guard only asks; it ends nothing.
    for (const ChildProcess& platform : running) {
      EXPECT_TRUE(platform.Running());
      CloseStandIn(platform.pid());
    }
  }
}

TEST(Startup, APlatformNameInAnotherLetterCaseDoesNotCount) {
  const std::wstring upper = L"C:\\other\\PLATFORM1CV8.EXE";
  InstallStandIn(upper);
  ChildProcess platform = StartStandIn(upper);
  ChildProcess app = LaunchApp();
  HWND main = WaitForMainWindow(app.pid(), 20s);
  ASSERT_TRUE(main);
  ASSERT_TRUE(WaitUntil([&] { return IsShown(main); }, 10s));
  EXPECT_FALSE(WaitForMessageBox(app.pid(), 1500ms).has_value());
  CloseAndExpectExitCode0(app, main);
  CloseStandIn(platform.pid());
}
