#include <gtest/gtest.h>

#include "fakes.h"
#include "setup/single_instance.h"
#include "setup/stage_chain.h"

TEST(StartupGuard, EachPlatformProcessGetsAMessageAndATerminationRequest) {
  FakeForm f;
  f.processes.running = {{L"explorer.exe", 1}, {L"1cv8.exe", 2}, {L"1CV8C.exe", 3},
                         {L"my1cv8c.exe", 4}, {L"notepad.exe", 5}};
  Button8Click(f.form);
  const std::vector<std::wstring> expected = {L"message Необходимо закрыть все 1С", L"quit",
                                              L"message Необходимо закрыть все 1С", L"quit"};
  EXPECT_EQ(f.events, expected);
  EXPECT_EQ(f.processes.entries_visited, 5);
}

TEST(StartupGuard, NoPlatformOrNoSnapshotShowsNothing) {
  FakeForm f;
  f.processes.running = {{L"1CV8.exe", 1}};
  Button8Click(f.form);
  f.processes.running = {{L"1cv8.exe", 2}};
  f.processes.snapshot_fails = true;
  Button8Click(f.form);
  EXPECT_TRUE(f.events.empty());
}

TEST(FormCreate, RunsTheGuardThenTheRestOfStartUpAllTheSame) {
  FakeForm f;
  f.processes.running = {{L"1cv8.exe", 7}};
  f.app.user_name = L"Иван Петров";
  f.app.folders.profile = L"C:\\Users\\Иван Петров";
  FormCreate(f.form);
  const std::vector<std::wstring> expected = {
      L"message Необходимо закрыть все 1С", L"quit",
      L"shell /C RD /s /q \"C:\\Users\\Иван Петров\\Downloads\\KalveraDownload\""};
  EXPECT_EQ(f.events, expected);
  EXPECT_NE(f.form.download_folder_removal, nullptr) << "kept, for the full installation to wait for";
  EXPECT_EQ(f.form.globals.PCName, L"Иван Петров");
  EXPECT_EQ(f.controls.Text(EditName::Edit1), L"C:/Users/Иван Петров/Documents/kalvera_base");
}

TEST(FormCreate, FitsTheWindowIntoTheWorkAreaAndCentresItIncludingItsOrigin) {
  struct Case {
    const char* name;
    ScreenRect work_area;
    int width, height;
    ScreenPoint expected;
    int min_height = 0;  // the outer height that holds the shown controls
    int fitted_width = 0, fitted_height = 0;  // 0: the size stays as it is
  } cases[] = {
      {"plain screen", {0, 0, 1280, 1024}, 470, 711, {405, 156}},
      {"taskbar at the left", {62, 0, 1920, 1080}, 470, 711, {62 + 694, 184}},
      {"taskbar at the top", {0, 40, 1280, 1024}, 470, 711, {405, 40 + 136}},
      {"exactly the work area", {0, 0, 470, 711}, 470, 711, {0, 0}},
      {"narrower by 7: as wide as the work area", {0, 0, 463, 1000}, 470, 105, {0, 447}, 0, 463, 105},
      {"150 % on 1920x1080: as high as the work area", {0, 0, 1280, 672}, 470, 711, {405, 0}, 0, 470, 672},
      {"too tall below a top taskbar", {30, 40, 1310, 712}, 470, 711, {30 + 405, 40}, 0, 470, 672},
      {"lower than the controls need: their height, at the top edge", {0, 0, 1024, 400}, 470, 711, {277, 0}, 485,
       470, 485},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeForm f;
    f.app.work_area = c.work_area;
    f.controls.outer_width = c.width;
    f.controls.outer_height = c.height;
    f.controls.min_outer_height = c.min_height;
    FormCreate(f.form);
    EXPECT_EQ(f.controls.resizes, c.fitted_width ? 1 : 0);
    EXPECT_EQ(f.controls.outer_width, c.fitted_width ? c.fitted_width : c.width);
    EXPECT_EQ(f.controls.outer_height, c.fitted_height ? c.fitted_height : c.height);
    ASSERT_EQ(f.controls.moves.size(), 1u);
    EXPECT_EQ(f.controls.moves[0].x, c.expected.x);
    EXPECT_EQ(f.controls.moves[0].y, c.expected.y);
  }
}

// The question comes between the guard and the rest of start-up, and only when the
// names really differ; Cancel ends the program the way the guard does.
TEST(FormCreate, AsksWhomTheBaseIsForOnlyWhenTheUserAtTheDeskIsAnother) {
  const AccountName admin{L"CORP", L"Администратор"};
  struct Case {
    const char* what;
    std::optional<AccountName> running, signed_in;
    bool platform_runs, answer;
    std::vector<std::wstring> first_events;  // up to the removal command
  };
  const std::wstring question =
      L"confirm Программа запущена от имени пользователя CORP\\Администратор, а в этом сеансе работает "
      L"пользователь CORP\\Иван.\n\nБаза 1С будет создана для пользователя CORP\\Администратор. Продолжить?";
  const std::wstring guard = L"message Необходимо закрыть все 1С";
  const Case cases[] = {
      {"the same", admin, admin, false, true, {}},
      {"the same but for case", AccountName{L"corp", L"АДМИНИСТРАТОР"}, admin, false, true, {}},
      {"another user", admin, AccountName{L"CORP", L"Иван"}, false, true, {question}},
      {"another domain", admin, AccountName{L"PC", L"Администратор"}, false, true,
       {L"confirm Программа запущена от имени пользователя CORP\\Администратор, а в этом сеансе работает "
        L"пользователь PC\\Администратор.\n\nБаза 1С будет создана для пользователя CORP\\Администратор. Продолжить?"}},
      {"cancelled", admin, AccountName{L"CORP", L"Иван"}, false, false, {question, L"quit"}},
      {"own account unreadable", std::nullopt, admin, false, true, {}},
      {"session's account unreadable", admin, std::nullopt, false, true, {}},
      {"the guard has asked to end", admin, AccountName{L"CORP", L"Иван"}, true, true, {guard, L"quit"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeForm f;
    f.app.running_account = c.running;
    f.app.session_account = c.signed_in;
    f.app.confirm_answer = c.answer;
    if (c.platform_runs) f.processes.running = {{L"1cv8.exe", 7}};
    FormCreate(f.form);
    std::vector<std::wstring> expected = c.first_events;
    expected.push_back(L"shell /C RD /s /q \"C:\\Users\\tester\\Downloads\\KalveraDownload\"");
    EXPECT_EQ(f.events, expected);
  }
}

TEST(SingleInstance, ASecondRunHandsOverAndANameOfAnotherOwnerDoesNotStopTheRun) {
  struct Case {
    const char* what;
    InstanceName name;
    bool first_window_here;
    StartAs expected;
    bool logged;
  };
  const Case cases[] = {
      {"the first run", InstanceName::Made, true, StartAs::OnlyInstance, false},
      {"a second run in the first one's session", InstanceName::HeldByAnInstance, true, StartAs::FirstBroughtToFront,
       false},
      {"a second run in another session", InstanceName::HeldByAnInstance, false, StartAs::ShowAlreadyRunning, false},
      {"a name made by an unelevated program", InstanceName::HeldByAnotherOwner, true, StartAs::OnlyInstance, true},
      {"a name that shuts the utility out", InstanceName::Unopenable, true, StartAs::OnlyInstance, true},
      {"no name at all", InstanceName::Failed, true, StartAs::OnlyInstance, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RecordingLog log;
    int window_asked = 0;
    const StartAs start = DecideStart(c.name, L"owner S-1-5-21-1-2-3-1001", [&] {
      ++window_asked;
      return c.first_window_here;
    }, log);
    EXPECT_EQ(start, c.expected);
    // Only a second run looks for the first one's window; it logs nothing either way.
    EXPECT_EQ(window_asked, c.name == InstanceName::HeldByAnInstance ? 1 : 0);
    ASSERT_EQ(log.lines.size(), c.logged ? 1u : 0u);
    if (c.logged) {
      EXPECT_NE(log.lines[0].find(L"owner S-1-5-21-1-2-3-1001"), std::wstring::npos);
    }
  }
}
