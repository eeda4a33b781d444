// The three scenarios driven through their stages with fakes: what each stage starts,
// shows and enables, in order, and where the chain stops on a failure.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "fakes.h"
#include "setup/addresses.h"
#include "setup/stage_chain.h"

namespace {

const std::wstring kPlatform = L"C:\\Program Files\\1cv8\\8.3.24.1467\\bin\\1cv8.exe";
const std::wstring kDownloads = L"C:\\Users\\tester\\Downloads\\KalveraDownload";
const std::wstring kConfigurationFile = L"C:\\Users\\tester\\Documents\\Kalvera1C\\database.cf";
// The first name the fake's random bytes give.
const std::wstring kRun = L"C:\\ProgramData\\Kalvera-a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5";

// A form on fakes, with the user's and the platform's part played by hand.
struct Chain {
  Chain() {
    f.form.globals.PCName = L"tester";
    f.form.folders = user_paths::ComposedFolders(L"tester");
    f.files.folders = {L"C:\\Users\\tester\\Downloads", L"C:\\Users\\tester\\Documents"};
    f.controls.texts[EditName::Edit1] = L"C:\\bases\\kalvera";
  }
  // A tick reaches the handler only while its timer is enabled, as on the window.
  void Tick(TimerName timer) {
    ASSERT_TRUE(f.controls.timers[timer].Enabled()) << "tick of a stopped timer";
    TickHandlerOf(timer)(f.form);
  }
  void PlatformRuns(std::uint32_t pid = 40) { f.processes.running.push_back({L"1cv8.exe", pid, kPlatform}); }
  void SetupRuns(std::uint32_t pid = 30) { f.processes.running.push_back({L"KalveraSetup1c.exe", pid}); }
  void NothingRuns() { f.processes.running.clear(); }
  // The next scans find `process` running, nothing, or fail.
  void Scans(ScanResult scan, void (Chain::*process)(std::uint32_t) = nullptr) {
    NothingRuns();
    f.processes.snapshot_fails = scan == ScanResult::Failed;
    if (scan == ScanResult::Running) (this->*process)(43);
  }
  void ExpectEntryChoicesHidden() {
    for (EntryChoice choice : {EntryChoice::Panel1, EntryChoice::Panel2, EntryChoice::Panel3,
                               EntryChoice::CheckBox1, EntryChoice::CheckBox2, EntryChoice::Button6,
                               EntryChoice::Button7, EntryChoice::Button9}) {
      EXPECT_FALSE(f.controls.shown.at(choice));
    }
  }
  std::set<TimerName> EnabledTimers() {
    std::set<TimerName> enabled;
    for (TimerName t : kAllTimers) {
      if (f.controls.timers[t].Enabled()) enabled.insert(t);
    }
    return enabled;
  }

  FakeForm f;
};

// One stage: what happens, then every event it caused (each expected text must occur in
// the event at the same place), the timers left enabled and the status text shown.
struct Stage {
  const char* what;
  std::function<void(Chain&)> act;
  std::vector<std::wstring> events;
  std::set<TimerName> enabled;
  std::wstring status;
};

using T = TimerName;

const std::wstring kPreparingTheBase[] = {L"Ожидание запуска 1С...", L"Подготовка...", L"Создание базы 1С..."};

}  // namespace

// Plays the stages in order on one chain.
class StageTable : public ::testing::Test, public Chain {
 protected:
  void Play(const std::vector<Stage>& stages) {
    for (const Stage& stage : stages) {
      SCOPED_TRACE(stage.what);
      const size_t before = f.events.size();
      stage.act(static_cast<Chain&>(*this));
      const std::vector<std::wstring> caused(f.events.begin() + before, f.events.end());
      ASSERT_EQ(caused.size(), stage.events.size()) << ::testing::PrintToString(caused);
      for (size_t i = 0; i < caused.size(); ++i) {
        EXPECT_NE(caused[i].find(stage.events[i]), std::wstring::npos)
            << "event " << i << ": " << ::testing::PrintToString(caused[i]);
      }
      EXPECT_EQ(EnabledTimers(), stage.enabled);
      EXPECT_EQ(f.controls.Status(), stage.status);
    }
  }

  // From the first tick that finds the platform to the termination request, shared by
  // all three scenarios; `first_install` adds the base creation and its user-mode run, and
  // the full installation has made the download folder already.
  std::vector<Stage> FromPlatformStart(bool first_install, bool downloads_made) {
    std::vector<std::wstring> found = {L"shell /C \"\"C:\\Windows\\system32\\taskkill.exe\" /F /PID 40\""};
    if (first_install) {
      found.insert(found.end(), {L"sleep 1000", L"createinfobase File=\"C:\\bases\\kalvera\"",
                                 L"ENTERPRISE /F \"C:\\bases\\kalvera\"", L"sleep 3000"});
    }
    std::vector<std::wstring> configuration = {
        L"sleep 3000", L"mkdir C:\\Users\\tester\\Documents\\Kalvera1C", L"delete " + kConfigurationFile,
        L"/resources/database.cf " + kRun + L"\\database.cf",
        L"copy " + kRun + L"\\database.cf " + kConfigurationFile,
        L"CONFIG /F \"C:\\bases\\kalvera\" /LoadCfg \"" + kRun + L"\\database.cf\"", L"sleep 3000"};
    // A full installation has made both folders before.
    if (!downloads_made) configuration.insert(configuration.begin() + 3, {L"mkdir " + kDownloads, L"mkdir protected " + kRun});
    return {
        {"no platform yet", [](Chain& c) { c.Tick(T::start_1C); }, {}, {T::start_1C},
         L"Ожидание запуска 1С..."},
        {"the user starts the platform", [](Chain& c) { c.PlatformRuns(); c.Tick(T::start_1C); },
         found, {T::exit_1c}, first_install ? L"Создание базы 1С..." : L"Подготовка..."},
        {"the platform still runs", [](Chain& c) { c.Tick(T::exit_1c); }, {}, {T::exit_1c},
         L"Закройте 1С для продолжения"},
        {"the platform has gone: configuration download and load",
         [](Chain& c) { c.NothingRuns(); c.Tick(T::exit_1c); }, configuration, {T::update_conf}, L"Обновление конфигурации 1С..."},
        {"the load runs", [](Chain& c) { c.PlatformRuns(41); c.Tick(T::update_conf); }, {},
         {T::update_conf}, L"Обновление конфигурации 1С..."},
        {"the load has ended: database update",
         [](Chain& c) { c.NothingRuns(); c.Tick(T::update_conf); },
         {L"sleep 3000", L"CONFIG /F \"C:\\bases\\kalvera\" /UpdateDBCfg"}, {T::update_conf_2},
         L"Ожидание принятия изменений..."},
        {"the update runs", [](Chain& c) { c.PlatformRuns(42); c.Tick(T::update_conf_2); }, {},
         {T::update_conf_2}, L"Ожидание принятия изменений..."},
        {"the update has ended: user mode and the end",
         [](Chain& c) { c.NothingRuns(); c.Tick(T::update_conf_2); },
         {L"sleep 3000", L"ENTERPRISE /F \"C:\\bases\\kalvera\"", L"quit", L"rm " + kRun + L"\\database.cf",
          L"rmdir " + kRun},
         {}, L"Ожидание принятия изменений..."},
    };
  }
};

TEST_F(StageTable, BaseUpdateRunsFromTheClickToTheEnd) {
  f.app.while_message_open = [this] { EXPECT_TRUE(EnabledTimers().empty()) << "start_1C before the message"; };
  std::vector<Stage> stages = {
      {"click", [](Chain& c) { Button9Click(c.f.form); },
       {L"message Для продолжения установки запустите платформу 1С"}, {T::start_1C}, L""}};
  for (Stage& s : FromPlatformStart(false, false)) stages.push_back(std::move(s));
  Play(stages);
  EXPECT_FALSE(f.form.globals.first_install);
  EXPECT_EQ(f.form.globals.path_1c, kPlatform);
  EXPECT_EQ(f.app.termination_requests, 1);
  ExpectEntryChoicesHidden();
}

TEST_F(StageTable, NewBaseInstallationCreatesTheBaseAndOpensItFirst) {
  f.app.while_message_open = [this] { EXPECT_TRUE(EnabledTimers().empty()) << "start_1C before the message"; };
  std::vector<Stage> stages = {
      {"click", [](Chain& c) { Button7Click(c.f.form); },
       {L"message Для продолжения установки запустите платформу 1С"}, {T::start_1C}, L""}};
  for (Stage& s : FromPlatformStart(true, false)) stages.push_back(std::move(s));
  Play(stages);
  ExpectEntryChoicesHidden();
  const auto& h = f.controls.status_history;
  EXPECT_NE(std::search(h.begin(), h.end(), std::begin(kPreparingTheBase), std::end(kPreparingTheBase)), h.end());
}

TEST_F(StageTable, FullInstallationInstallsThePlatformThenCreatesTheBase) {
  f.controls.progress.position = 30;  // left by an earlier download
  f.form.download_folder_removal = std::make_unique<FakeCommandRun>(3);  // start-up's, still running
  std::vector<Stage> stages = {
      {"click: package download, extraction, setup program",
       [](Chain& c) { Button6Click(c.f.form); },
       {L"pause 100", L"pause 100", L"mkdir " + kDownloads, L"mkdir protected " + kRun,
        L"/install/download/Setup1C.zip " + kRun + L"\\update_pack.zip from 0",
        L"unzip " + kRun + L"\\update_pack.zip " + kRun + L"\\", L"pause 1500", L"delete " + kRun + L"\\update_pack.zip",
        L"shell /C \"\"" + kRun + L"\\KalveraSetup1c.exe\"\" in " + kRun},
       {T::expectation_start_setup}, L"Ожидание установки 1С..."},
      {"the setup program has not started yet", [](Chain& c) { c.Tick(T::expectation_start_setup); },
       {}, {T::expectation_start_setup}, L"Ожидание установки 1С..."},
      {"the setup program runs", [](Chain& c) { c.SetupRuns(); c.Tick(T::expectation_start_setup); },
       {}, {T::expectation_start_setup, T::expectation}, L"Ожидание установки 1С..."},
      {"it still runs", [](Chain& c) { c.Tick(T::expectation); }, {}, {T::expectation},
       L"Ожидание установки 1С..."},
      {"it has finished", [](Chain& c) { c.NothingRuns(); c.Tick(T::expectation); },
       {L"rm " + kRun + L"\\KalveraSetup1c.exe", L"message Для продолжения установки запустите платформу 1С"},
       {T::start_1C},
       L"Ожидание установки 1С..."},
  };
  for (Stage& s : FromPlatformStart(true, true)) stages.push_back(std::move(s));
  Play(stages);
  EXPECT_EQ(f.controls.status_history[0], L"Загрузка 1с...");
  EXPECT_EQ(f.controls.status_history[1], L"Загрузка 1с...");
  EXPECT_EQ(f.controls.status_history[2], L"Распаковка файлов 1с...");
  EXPECT_EQ(f.files.files, std::set<std::wstring>{kConfigurationFile});
  EXPECT_EQ(f.files.folders.count(kRun), 0u);
  ExpectEntryChoicesHidden();
}

TEST_F(StageTable, ShowsTheNextAttemptDuringAPauseOfEitherDownloadAndLogsTheAttempts) {
  f.downloader.pause_once = true;
  Button6Click(f.form);
  EXPECT_EQ(std::vector<std::wstring>(f.controls.status_history.begin() + 1, f.controls.status_history.begin() + 4),
            (std::vector<std::wstring>{L"Загрузка 1с...", L"Загрузка 1с... (попытка 2 из 5)", L"Загрузка 1с..."}));
  EXPECT_EQ(f.downloader.events, nullptr) << "told only for the one download";
  f.controls.status_history.clear();
  Button3Click(f.form);
  ASSERT_GE(f.controls.status_history.size(), 3u);
  EXPECT_EQ(f.controls.status_history[1], L"Загрузка базы Kalvera 1с... (попытка 2 из 5)");
}

TEST_F(StageTable, ARemovalOfTheDownloadFolderThatNeverEndsHoldsTheDownloadAMinuteAtMost) {
  f.form.download_folder_removal = std::make_unique<FakeCommandRun>(-1);
  Button6Click(f.form);
  EXPECT_EQ(std::count(f.events.begin(), f.events.end(), L"pause 100"), 600);
  EXPECT_EQ(f.controls.Status(), L"Ожидание установки 1С...") << "the chain went on";
}

TEST_F(StageTable, OnePlatformTickCreatesTheBaseOnceHoweverManyPlatformsRun) {
  f.form.globals.first_install = true;
  f.controls.timers[T::start_1C].SetEnabled(true);
  PlatformRuns(40);
  f.processes.running.push_back({L"1cv8.exe", 50, L"C:\\theirs\\1cv8.exe", true, 7});  // another person's
  f.processes.running.push_back({L"1cv8c.exe", 44, L"C:\\other\\1cv8c.exe"});
  Tick(T::start_1C);
  const auto& c = f.shell.commands;
  ASSERT_EQ(c.size(), 4u);
  EXPECT_EQ(c[0], L"/C \"\"C:\\Windows\\system32\\taskkill.exe\" /F /PID 40\"");
  EXPECT_EQ(c[1], L"/C \"\"C:\\Windows\\system32\\taskkill.exe\" /F /PID 44\"");
  EXPECT_NE(c[2].find(L"createinfobase"), std::wstring::npos);
  EXPECT_NE(c[3].find(L"\"C:\\other\\1cv8c.exe\" ENTERPRISE"), std::wstring::npos);
  EXPECT_EQ(f.form.globals.path_1c, L"C:\\other\\1cv8c.exe");
  EXPECT_EQ(f.clock.sleeps, (std::vector<unsigned>{1000, 3000}));
  EXPECT_EQ(EnabledTimers(), std::set<TimerName>{T::exit_1c});
}

TEST_F(StageTable, ARefusedFieldLeavesTheWindowAsItWas) {
  f.controls.checked[CheckBoxName::CheckBox1] = true;
  f.controls.texts[EditName::Edit3] = L"pa\"ss";
  for (auto entry : {Button6Click, Button7Click, Button9Click}) {
    entry(f.form);
  }
  EXPECT_EQ(f.app.messages.size(), 3u);
  EXPECT_TRUE(f.controls.shown.empty());
  EXPECT_TRUE(EnabledTimers().empty());
  EXPECT_TRUE(f.controls.status_history.empty());
  EXPECT_TRUE(f.shell.commands.empty());
  EXPECT_EQ(f.events.size(), 3u);  // the three messages, nothing downloaded
}

TEST_F(StageTable, ADownloadFolderThatCannotBeMadeStopsTheChainWithItsReason) {
  f.files.folders.erase(L"C:\\Users\\tester\\Downloads");
  f.files.unmakable.insert(kDownloads);
  for (auto stage : {Button6Click, Button3Click}) {
    f.events.clear();
    try {
      stage(f.form);
      ADD_FAILURE() << "no error raised";
    } catch (const Error& error) {
      EXPECT_EQ(error.text(), L"Cannot make the folder \"" + kDownloads + L"\". Access is denied.");
    }
    for (const std::wstring& event : f.events) EXPECT_EQ(event.find(L"download"), std::wstring::npos);
  }
  EXPECT_TRUE(f.shell.commands.empty());
  EXPECT_TRUE(EnabledTimers().empty());
}

TEST_F(StageTable, FoldersThatAreNoFailureForTheConfigurationDownload) {
  const std::pair<const char*, std::function<void(Chain&)>> cases[] = {
      {"download folder exists", [](Chain& c) { c.f.files.folders.insert(kDownloads); }},
      {"configuration folder cannot be made",
       [](Chain& c) { c.f.files.unmakable.insert(L"C:\\Users\\tester\\Documents\\Kalvera1C"); }},
  };
  for (const auto& [what, arrange] : cases) {
    SCOPED_TRACE(what);
    Chain fresh;
    arrange(fresh);
    Button3Click(fresh.f.form);
    EXPECT_EQ(fresh.f.controls.Status(), L"Обновление конфигурации 1С...");  // Button4 has taken over
    EXPECT_EQ(fresh.EnabledTimers(), std::set<TimerName>{T::update_conf});
  }
}

TEST_F(StageTable, FailuresStopTheChainWhereTheyHappen) {
  struct Case {
    const char* what;
    std::function<void(Chain&)> arrange;
    std::function<void(Form1&)> stage;
    std::wstring status;  // what the window is left showing
    std::vector<std::wstring> error_names;
  };
  const Case cases[] = {
      {"package download", [](Chain& c) { c.f.downloader.failure = L"no package"; }, Button6Click,
       L"Загрузка 1с...", {L"no package"}},
      // Written with the utility's rights, the file would land wherever the link points.
      {"configuration folder is a link",
       [](Chain& c) { c.f.files.links.insert(L"C:\\Users\\tester\\Documents\\Kalvera1C"); }, Button3Click, L"",
       {L"Cannot write \"C:\\Users\\tester\\Documents\\Kalvera1C\": ", L"is a junction or a symbolic link"}},
      {"configuration file is a link", [](Chain& c) { c.f.files.links.insert(kConfigurationFile); }, Button3Click,
       L"", {L"Cannot write \"" + kConfigurationFile + L"\": "}},
      {"extraction", [](Chain& c) { c.f.unzipper.failure = L"bad archive"; }, Button6Click,
       L"Распаковка файлов 1с...", {L"bad archive"}},
      {"a package without the setup program", [](Chain& c) { c.f.unzipper.entries = {L"readme.txt"}; },
       Button6Click, L"Распаковка файлов 1с...",
       {L"/install/download/Setup1C.zip\"", kRun + L"\\KalveraSetup1c.exe\""}},
      {"configuration download", [](Chain& c) { c.f.downloader.failure = L"404"; }, Button3Click,
       L"Загрузка базы Kalvera 1с...", {L"404"}},
      {"the configuration's copy to Documents",
       [](Chain& c) { c.f.run_folders.copy_failure = L"Access is denied."; }, Button3Click,
       L"Загрузка базы Kalvera 1с...", {L"Cannot copy", kConfigurationFile + L"\". Access is denied."}},
      {"a package not signed by the vendor", [](Chain& c) { c.f.downloader.refusal = L"the signature does not match"; },
       Button6Click, L"Загрузка 1с...",
       {L"The platform package \"" + PackageAddress() + L"\" is not signed by the vendor's key: the signature does not match"}},
      {"a configuration not signed by the vendor", [](Chain& c) { c.f.downloader.refusal = L"the signature does not match"; },
       Button3Click, L"Загрузка базы Kalvera 1с...",
       {L"The configuration file \"" + ConfigurationAddress() + L"\" is not signed by the vendor's key: the signature does not match"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Chain fresh;
    c.arrange(fresh);
    try {
      c.stage(fresh.f.form);
      ADD_FAILURE() << "no error raised";
    } catch (const Error& error) {
      for (const std::wstring& name : c.error_names) {
        EXPECT_NE(error.text().find(name), std::wstring::npos) << ::testing::PrintToString(error.text());
      }
    }
    EXPECT_TRUE(fresh.f.shell.commands.empty()) << "no setup program, no configuration load";
    EXPECT_TRUE(fresh.f.clock.sleeps.empty());
    EXPECT_TRUE(fresh.EnabledTimers().empty());
    EXPECT_EQ(fresh.f.controls.Status(), c.status);
  }
}

TEST_F(StageTable, APlatformThatIsNotInstalledIsNeitherKilledNorUsedAndToldOnce) {
  const std::wstring foreign = L"C:\\Users\\tester\\Downloads\\1cv8.exe";
  const std::wstring told_after = L"» не является платформой 1С, установленной на этом компьютере. "
                                  L"Закройте её и запустите 1С из меню «Пуск».";
  struct Case {
    const char* what;
    FakeProcess process;
    std::wstring named;  // in the message
  };
  const Case cases[] = {
      {"outside the program folders", {L"1cv8.exe", 40, foreign}, foreign},
      {"cannot be opened", {L"1cv8.exe", 40, L"", false}, L"1cv8.exe (PID 40)"},
      {"path cannot be read", {L"1cv8c.exe", 41, L""}, L"1cv8c.exe (PID 41)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Chain fresh;
    fresh.f.form.globals.first_install = true;
    fresh.f.controls.timers[T::start_1C].SetEnabled(true);
    fresh.f.processes.not_installed = {foreign};
    fresh.f.processes.running = {c.process};
    fresh.f.app.while_message_open = [&] { EXPECT_TRUE(fresh.EnabledTimers().empty()) << "a tick under the message"; };
    for (int tick = 0; tick < 3; ++tick) fresh.Tick(T::start_1C);
    EXPECT_EQ(fresh.f.app.messages, std::vector<std::wstring>{L"Программа «" + c.named + told_after});
    EXPECT_TRUE(fresh.f.shell.commands.empty()) << "neither killed nor run";
    EXPECT_EQ(fresh.EnabledTimers(), std::set<TimerName>{T::start_1C});
    // The installed platform started next carries the scenario on; the other still counts
    // as a platform that must be closed.
    fresh.PlatformRuns(50);
    fresh.Tick(T::start_1C);
    EXPECT_EQ(fresh.f.form.globals.path_1c, kPlatform);
    ASSERT_EQ(fresh.f.shell.commands.size(), 3u);
    EXPECT_EQ(fresh.f.shell.commands[0], L"/C \"\"C:\\Windows\\system32\\taskkill.exe\" /F /PID 50\"");
    EXPECT_EQ(fresh.f.app.messages.size(), 1u);
    fresh.f.processes.running.pop_back();
    fresh.Tick(T::exit_1c);
    EXPECT_EQ(fresh.f.controls.Status(), L"Закройте 1С для продолжения");
  }
}

TEST_F(StageTable, ThePersonsUserModeRunTakesTheShellsTokenAndFallsBackWhenThatFails) {
  f.controls.texts[EditName::Edit1] = L"C:\\Users\\tester\\Documents\\kalvera_base";
  f.form.globals.path_1c = kPlatform;
  f.shell.desktop = {true, true, false};
  Button1Click(f.form);
  ASSERT_EQ(f.shell.desktop_commands.size(), 1u);
  EXPECT_NE(f.shell.desktop_commands[0].find(L"ENTERPRISE"), std::wstring::npos);
  EXPECT_TRUE(f.shell.commands.empty()) << "started once, unelevated";
  f.shell.desktop_run_fails = L"CreateProcessWithTokenW failed: Access is denied";
  Button1Click(f.form);
  EXPECT_EQ(f.shell.commands.size(), 1u) << "the fallback";
  ASSERT_FALSE(f.log.lines.empty());
  EXPECT_NE(f.log.lines.back().find(L"CreateProcessWithTokenW failed"), std::wstring::npos);
  // The batch runs stay elevated.
  Button2Click(f.form);
  EXPECT_EQ(f.shell.desktop_commands.size(), 1u);
}

TEST_F(StageTable, APlatformGoneBeforeItIsOpenedLeavesTheTickToTheNextOne) {
  f.controls.timers[T::start_1C].SetEnabled(true);
  PlatformRuns(40);
  f.processes.gone_when_opened = {40};
  Tick(T::start_1C);
  EXPECT_TRUE(f.shell.commands.empty());
  EXPECT_TRUE(f.app.messages.empty());
  EXPECT_EQ(EnabledTimers(), std::set<TimerName>{T::start_1C});
  f.processes.gone_when_opened.clear();
  Tick(T::start_1C);
  EXPECT_EQ(EnabledTimers(), std::set<TimerName>{T::exit_1c});
  EXPECT_EQ(f.form.globals.path_1c, kPlatform);
}

// Timers that nothing tells when their run started go by the scan alone; a failed
// snapshot means "nothing there" to them.
TEST_F(StageTable, UnwatchedWaitsGoByTheScanAlone) {
  struct Case {
    const char* what;
    TimerName timer;
    bool snapshot_fails;
    std::set<TimerName> enabled_after;
  };
  const Case cases[] = {
      {"start_1C retries on a failed snapshot", T::start_1C, true, {T::start_1C}},
      {"expectation_start_setup retries on a failed snapshot", T::expectation_start_setup, true,
       {T::expectation_start_setup}},
      {"expectation goes on", T::expectation, true, {T::start_1C}},
      {"exit_1c of an update goes on", T::exit_1c, true, {T::update_conf}},
      {"exit_1c of an update goes on when the killed platform has gone", T::exit_1c, false, {T::update_conf}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Chain fresh;
    fresh.f.processes.snapshot_fails = c.snapshot_fails;
    fresh.f.controls.timers[c.timer].SetEnabled(true);
    fresh.Tick(c.timer);
    EXPECT_EQ(fresh.EnabledTimers(), c.enabled_after);
  }
}

// A run that is slow to show up is still waited for; one that never shows up is given
// up on after fifteen ticks; a failed snapshot never ends a run that was seen.
TEST_F(StageTable, RunWaitsGoOnOnlyAfterSeeingTheRunOrFifteenEmptyTicks) {
  constexpr ScanResult R = ScanResult::Running, N = ScanResult::NoneRunning, F = ScanResult::Failed;
  struct Case {
    const char* what;
    std::vector<ScanResult> ticks;
    int ends_at;  // index of the tick that goes on; -1: none
  };
  const Case cases[] = {
      {"seen at once, then gone", {R, R, N}, 2},
      {"shows up late", {N, N, N, R, N}, 4},
      {"never shows up", std::vector<ScanResult>(15, N), 14},
      {"fourteen empty ticks are not enough", std::vector<ScanResult>(14, N), -1},
      {"failed snapshots count as empty before a sighting", std::vector<ScanResult>(15, F), 14},
      {"a failed snapshot after a sighting is no news", {R, F, F, R, N}, 4},
  };
  const auto start_update_conf = [](Chain& c) { Button4Click(c.f.form); };
  const auto start_update_conf_2 = [](Chain& c) { Button5Click(c.f.form); };
  const auto start_base_creation = [](Chain& c) {
    c.f.form.globals.first_install = true;
    c.f.controls.timers[T::start_1C].SetEnabled(true);
    c.PlatformRuns();
    c.Tick(T::start_1C);
  };
  const std::pair<TimerName, std::function<void(Chain&)>> waits[] = {
      {T::update_conf, start_update_conf}, {T::update_conf_2, start_update_conf_2},
      {T::exit_1c, start_base_creation}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const auto& [timer, start] : waits) {
      SCOPED_TRACE(static_cast<int>(timer));
      Chain fresh;
      start(fresh);
      int ended = -1;
      for (size_t i = 0; i < c.ticks.size() && ended < 0; ++i) {
        fresh.Scans(c.ticks[i], &Chain::PlatformRuns);
        fresh.Tick(timer);
        if (!fresh.f.controls.timers[timer].Enabled()) ended = static_cast<int>(i);
      }
      EXPECT_EQ(ended, c.ends_at);
    }
  }
}

// A setup program that an antivirus stops, or that never started, ends the wait with one
// report after a minute of one-second ticks.
TEST_F(StageTable, TheSetupProgramIsGivenAMinuteToShowUp) {
  constexpr ScanResult R = ScanResult::Running, N = ScanResult::NoneRunning, F = ScanResult::Failed;
  struct Case {
    const char* what;
    std::vector<ScanResult> ticks;
    bool gives_up;
  };
  std::vector<ScanResult> seen_then_gone(70, N);
  seen_then_gone[3] = R;
  std::vector<ScanResult> failed(60, F);
  const Case cases[] = {
      {"fifty-nine empty ticks", std::vector<ScanResult>(59, N), false},
      {"sixty empty ticks", std::vector<ScanResult>(60, N), true},
      {"sixty failed snapshots", failed, true},
      {"seen once: the other timer takes over", seen_then_gone, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Chain fresh;
    Button6Click(fresh.f.form);
    int reports = 0;
    for (ScanResult scan : c.ticks) {
      fresh.Scans(scan, &Chain::SetupRuns);
      if (!fresh.f.controls.timers[T::expectation_start_setup].Enabled()) break;
      try {
        fresh.Tick(T::expectation_start_setup);
      } catch (const Error& error) {
        ++reports;
        EXPECT_NE(error.text().find(L"\"" + kRun + L"\\KalveraSetup1c.exe\" did not start"),
                  std::wstring::npos)
            << ::testing::PrintToString(error.text());
      }
    }
    EXPECT_EQ(reports, c.gives_up ? 1 : 0);
    EXPECT_EQ(fresh.f.controls.timers[T::expectation_start_setup].Enabled(), !c.gives_up);
  }
}

TEST(StageTimers, EveryTimerHasItsOwnTickHandler) {
  std::set<TickHandler> handlers;
  for (TimerName t : kAllTimers) handlers.insert(TickHandlerOf(t));
  EXPECT_EQ(handlers.size(), 6u);
  EXPECT_EQ(TickHandlerOf(T::update_conf_2), update_conf_2Timer);
  EXPECT_EQ(TickHandlerOf(T::expectation), expectationTimer);
}

// On a server where several people work at once, only the utility's own session
// counts: another person's platform neither holds a wait nor ends one.
TEST(OwnSession, OnlyTheUtilitysOwnSessionCounts) {
  using Entry = FakeProcess;
  const Entry theirs{L"1cv8.exe", 50, L"C:\\theirs\\1cv8.exe", true, 7};
  const Entry unreadable{L"1cv8.exe", 51, L"C:\\1cv8.exe", true, std::nullopt};
  const Entry ours{L"1cv8.exe", 52, L"C:\\1cv8.exe"};
  struct Case {
    const char* what;
    std::vector<Entry> running;
    std::optional<std::uint32_t> own_session;
    bool counted;
  };
  const Case cases[] = {
      {"ours", {theirs, ours}, FakeProcess::kOwnSession, true},
      {"another session's", {theirs}, FakeProcess::kOwnSession, false},
      {"a session that cannot be read", {unreadable}, FakeProcess::kOwnSession, false},
      {"our own session unknown: every process counts", {theirs}, std::nullopt, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Chain chain;
    chain.f.processes.running = c.running;
    chain.f.processes.own_session = c.own_session;
    Button8Click(chain.f.form);
    EXPECT_EQ(chain.f.app.termination_requests, c.counted ? 1 : 0) << "start-up guard";

    chain.f.controls.timers[T::start_1C].SetEnabled(true);
    chain.Tick(T::start_1C);
    EXPECT_EQ(chain.EnabledTimers(), std::set<TimerName>{c.counted ? T::exit_1c : T::start_1C});
    EXPECT_EQ(chain.f.shell.commands.size(), c.counted ? 1u : 0u) << "one kill, of ours";
    if (c.counted) {
      chain.Tick(T::exit_1c);
      EXPECT_EQ(chain.EnabledTimers(), std::set<TimerName>{T::exit_1c}) << "exit_1c waits";
    }
    Button4Click(chain.f.form);
    chain.f.processes.running = {ours};
    chain.Tick(T::update_conf);  // seen
    chain.f.processes.running = c.running;
    chain.Tick(T::update_conf);
    EXPECT_EQ(chain.f.controls.timers[T::update_conf].Enabled(), c.counted) << "update_conf";
  }
}
