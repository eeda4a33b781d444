
#include <gtest/gtest.h>

#include <functional>

#include "base/error.h"
#include "fakes.h"
#include "setup/stage_chain.h"

namespace {

const std::wstring kPlatform = L"C:\\Program Files\\1cv8\\bin\\1cv8.exe";

struct PlatformRuns : ::testing::Test {
  FakeForm f;
  void SetUp() override {
    f.form.globals.path_1c = kPlatform;
    f.form.globals.PCName = L"tester";
    f.form.folders = user_paths::ComposedFolders(L"tester");
    f.controls.texts[EditName::Edit1] = L"C:\\base";
  }
  void TickCredentials(const std::wstring& user, const std::wstring& password) {
    f.controls.checked[CheckBoxName::CheckBox1] = true;
    f.controls.texts[EditName::Edit2] = user;
    f.controls.texts[EditName::Edit3] = password;
  }
};

}  // namespace

TEST_F(PlatformRuns, UserModeRunAssignsServerAndPassword) {
  TickCredentials(L"admin", L"secret");
  Button1Click(f.form);
  EXPECT_EQ(f.form.globals.server, L"/F \"C:\\base\"");
  EXPECT_EQ(f.form.globals.pas_1c, L" /P\"secret\"");
  ASSERT_EQ(f.shell.commands.size(), 1u);
  EXPECT_EQ(f.shell.commands[0],
            L"/C \"\"" + kPlatform + L"\" ENTERPRISE /F \"C:\\base\" /N\"admin\" /P\"secret\"\"");
  EXPECT_TRUE(f.controls.status_history.empty());
  EXPECT_TRUE(f.clock.sleeps.empty());
}

TEST_F(PlatformRuns, EmptyPasswordCarriesTheEarlierPasswordOver) {
  TickCredentials(L"admin", L"first");
  Button1Click(f.form);
  f.controls.texts[EditName::Edit3] = L"";
  Button5Click(f.form);
  EXPECT_EQ(f.shell.commands.back(),
            L"/C \"\"" + kPlatform + L"\" CONFIG /F \"C:\\base\" /N\"admin\" /P\"first\" /UpdateDBCfg\"");
}

TEST_F(PlatformRuns, UntickedCredentialsLeaveThePasswordAlone) {
  f.form.globals.pas_1c = L" /P\"kept\"";
  f.controls.texts[EditName::Edit2] = L"admin";
  f.controls.texts[EditName::Edit3] = L"new";
  Button1Click(f.form);
  EXPECT_EQ(f.form.globals.pas_1c, L" /P\"kept\"");
  EXPECT_EQ(f.shell.commands.back(), L"/C \"\"" + kPlatform + L"\" ENTERPRISE /F \"C:\\base\"\"");
}

TEST_F(PlatformRuns, BaseCreationReadsNoCredentialsAndAssignsNothing) {
  TickCredentials(L"admin", L"secret");
  f.controls.checked[CheckBoxName::CheckBox2] = true;
  f.controls.texts[EditName::Edit4] = L"srv";
  f.controls.texts[EditName::Edit5] = L"kalvera";
  Button2Click(f.form);
  EXPECT_EQ(f.shell.commands.back(),
            L"/C \"\"" + kPlatform + L"\" createinfobase /S \"srv\\kalvera\" /AddInList Kalvera\"");
  EXPECT_TRUE(f.form.globals.server.empty());
  EXPECT_TRUE(f.form.globals.pas_1c.empty());
}

TEST_F(PlatformRuns, ConfigurationLoadSetsStatusLaunchesPausesThenEnablesItsTimer) {
  f.form.globals.PCName = L"Иван Петров";
  f.form.folders = user_paths::ComposedFolders(L"Иван Петров");
  Button4Click(f.form);
  EXPECT_EQ(f.controls.Status(), L"Обновление конфигурации 1С...");
  const std::vector<std::wstring> expected = {
      L"shell /C \"\"" + kPlatform +
          L"\" CONFIG /F \"C:\\base\" /LoadCfg \"C:\\Users\\Иван Петров\\Documents\\Kalvera1C\\database.cf\"\"",
      L"sleep 3000"};
  EXPECT_EQ(f.events, expected);
  EXPECT_TRUE(f.controls.timers[TimerName::update_conf].Enabled());
}

TEST_F(PlatformRuns, DatabaseUpdateEnablesItsTimerBeforeTheLaunch) {
  struct ObservingShell : RecordingShell {
    FakeControls* controls;
    bool timer_enabled_at_launch = false;
    void Run(const std::wstring&) override {
      timer_enabled_at_launch = controls->timers[TimerName::update_conf_2].Enabled();
    }
  } shell;
  shell.controls = &f.controls;
  Form1 form{f.controls, f.app, shell, f.processes, f.clock, f.downloader, f.unzipper, f.files, f.run_folders, f.log, f.form.globals, RunWatches{},
             nullptr, f.form.folders};
  Button5Click(form);
  EXPECT_TRUE(shell.timer_enabled_at_launch);
  EXPECT_EQ(f.controls.Status(), L"Ожидание принятия изменений...");
  EXPECT_TRUE(f.clock.sleeps.empty());
}

TEST_F(PlatformRuns, FieldCheckNamesTheFieldAndChangesNothing) {
  TickCredentials(L"admin", L"a\"b");
  EXPECT_FALSE(FieldsCanBePassed(f.form));
  ASSERT_EQ(f.app.messages.size(), 1u);
  EXPECT_NE(f.app.messages[0].find(L"«Пароль пользователя»"), std::wstring::npos);
  EXPECT_TRUE(f.shell.commands.empty());
  EXPECT_TRUE(f.form.globals.pas_1c.empty());

  f.controls.texts[EditName::Edit3] = L"a&b";
  EXPECT_TRUE(FieldsCanBePassed(f.form));
  EXPECT_EQ(f.app.messages.size(), 1u);
}

TEST_F(PlatformRuns, EveryWayOfStartingRefusesACommandTheProcessorWouldChange) {
  // The platform's path holds one "%", the password the other: only the composed line pairs them.
  f.form.globals.path_1c = L"C:\\1cv8 100%\\bin\\1cv8.exe";
  TickCredentials(L"admin", L"x%y");
  const std::wstring paired = L"/C \"echo %PATH%\"";
  struct Case {
    const char* name;
    std::function<void(Form1&)> start;
  } cases[] = {
      {"plain", [&](Form1& form) { RunHidden(form, paired); }},
      {"in a folder", [&](Form1& form) { RunHiddenIn(form, paired, L"C:\\run"); }},
      {"tracked", [&](Form1& form) { RunHiddenTracked(form, paired); }},
      {"with the password, run elevated", Button4Click},
      {"with the password, for the person", Button1Click},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    f.shell.commands.clear();
    EXPECT_THROW(c.start(f.form), Error);
    EXPECT_TRUE(f.shell.commands.empty());
    EXPECT_TRUE(f.shell.desktop_commands.empty());
  }
  for (const std::wstring& line : f.log.lines) EXPECT_EQ(line.find(L"command:"), std::wstring::npos) << "logged";
}
