// The run log: lines kept until the file is known, a failed file ending the log without
// touching the run, the file names and the rotation, and a base update played on fakes
// whose log holds its events in order and never the password.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "base/control_names.h"
#include "base/run_log.h"
#include "fakes.h"
#include "setup/logged_session.h"
#include "setup/stage_chain.h"
#include "setup/stage_texts.h"

namespace {

struct StringSink : LogSink {
  explicit StringSink(std::string* out, int writes_allowed = 1000) : out_(out), left_(writes_allowed) {}
  bool Append(const std::string& bytes) override {
    if (left_-- <= 0) return false;
    *out_ += bytes;
    return true;
  }
  std::string* out_;
  int left_;
};

TEST(RunLog, KeepsEarlyEventsUntilTheFileIsKnownThenWritesThemFirst) {
  std::uint64_t now = 0;
  RunLog log([&] { return now; });
  log.Event(L"before");
  now = 1234;
  log.Event(L"still before");
  std::string file;
  log.Attach(std::make_unique<StringSink>(&file));
  now = 61005;
  log.Event(L"after");
  // A lost early line, or the order swapped, would fail here.
  EXPECT_EQ(file, "       0.000 before\n       1.234 still before\n      61.005 after\n");
}

TEST(RunLog, AFileThatFailsEndsTheLogAndKeepsNothingMore) {
  RunLog log([] { return 0; });
  std::string file;
  log.Event(L"one");
  log.Attach(std::make_unique<StringSink>(&file, 1));  // the kept line, then a full disk
  log.Event(L"two");
  log.Event(L"three");
  EXPECT_EQ(file, "       0.000 one\n");

  RunLog unwritable([] { return 0; });
  unwritable.Event(L"kept");
  unwritable.Attach(nullptr);  // the file could not be created: no error, no log
  unwritable.Event(L"dropped");
}

TEST(RunLog, AStartUpThatEndsBeforeTheFileIsKnownStillWritesItsLogWithTheEnd) {
  struct Case {
    const char* what;
    bool attached_before_end;
    std::string file;
    int late_opens;
  };
  const Case cases[] = {
      {"the window never made", false, "       0.000 error shown: no window\n       0.000 end: exit code 1\n", 1},
      {"the usual run", true, "       0.000 error shown: no window\n       0.000 end: exit code 1\n", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RunLog log([] { return 0; });
    std::string file;
    int late_opens = 0;
    log.Event(L"error shown: no window");
    if (c.attached_before_end) log.Attach(std::make_unique<StringSink>(&file));
    EndRunLog(log, 1, [&] {
      ++late_opens;
      return std::make_unique<StringSink>(&file);
    });
    EXPECT_EQ(file, c.file);
    EXPECT_EQ(late_opens, c.late_opens);
  }
}

TEST(RunLog, LinesAreUtf8AndOneLinePerEvent) {
  EXPECT_EQ(LogLine(5, L"Ожидание"), "       0.005 \xD0\x9E\xD0\xB6\xD0\xB8\xD0\xB4\xD0\xB0\xD0\xBD\xD0\xB8\xD0\xB5\n");
  // A multi-line error text would otherwise break the one-event-per-line reading.
  EXPECT_EQ(LogLine(0, L"Cannot open\r\nAccess is denied\nx"), "       0.000 Cannot open | Access is denied | x\n");
  EXPECT_EQ(Utf8(L"\u20AC"), "\xE2\x82\xAC");
  EXPECT_EQ(Utf8(std::wstring(1, static_cast<wchar_t>(0xD800))), "\xEF\xBF\xBD");  // a lone surrogate
}

TEST(RunLog, NamedByTheStartRotationKeepsTheNewestTenAndTouchesNoOtherFile) {
  EXPECT_EQ(RunLogFileName({2026, 1, 2, 3, 4, 5, 6}), L"2026-01-02_03-04-05-006.log");
  std::vector<std::wstring> names = {L"notes.log", L"database.cf", L"2026-01-02_03-04-05-006.log.txt"};
  for (int ms = 100; ms < 110; ++ms) names.push_back(RunLogFileName({2026, 5, 1, 10, 0, 0, ms}));
  // Exactly ten: nothing goes.
  EXPECT_TRUE(RunLogsToRemove(names, kRunLogsKept).empty());
  // Eleven: the oldest goes, although it is listed last (the folder's order is no order).
  names.push_back(RunLogFileName({2025, 12, 31, 23, 59, 59, 999}));
  EXPECT_EQ(RunLogsToRemove(names, kRunLogsKept), std::vector<std::wstring>{L"2025-12-31_23-59-59-999.log"});
}

TEST(RunLog, ATransferLineTellsHowFarItCameAndHowItEnded) {
  FakeForm f;
  std::uint64_t now = 0;
  std::string file;
  RunLog log{[&] { return now; }};
  log.Attach(std::make_unique<StringSink>(&file));
  LoggedDownloader downloader{f.downloader, log, [&] { return now += 250; }};
  LoggedUnzipper unzipper{f.unzipper, log, [&] { return now += 250; }};
  f.downloader.failure = L"Cannot download \"http://h/p.zip\". No answer";
  f.downloader.facts = DownloadFacts{};
  FakeProgressBar bar;
  EXPECT_THROW(downloader.GetInetFile(L"http://h/p.zip", L"C:\\d\\p.zip", bar), Error);
  f.unzipper.facts = ExtractionFacts{12, 11, 5000};
  unzipper.UnZipFile(L"C:\\d\\p.zip", L"C:\\d\\");
  EXPECT_EQ(file,
            "       0.500 download \"http://h/p.zip\" to \"C:\\d\\p.zip\": no answer, no length, 0 bytes, no signature checked in 250 ms: "
            "failed: Cannot download \"http://h/p.zip\". No answer\n"
            "       1.000 extraction \"C:\\d\\p.zip\" to \"C:\\d\\\": 11 of 12 entries, 5000 bytes in 250 ms: done\n");
  EXPECT_EQ(DownloadFactsText(DownloadFacts{200, 72, 72, L"does not match"}),
            L"HTTP 200, length 72, 72 bytes, signature does not match");
}

// A base update with credentials, played on fakes wrapped as the entry sequence wraps them.
struct LoggedChain {
  FakeForm f;
  std::uint64_t now = 0;
  std::string file;
  RunLog log{[this] { return now; }};
  LoggedControls controls{f.controls, log};
  LoggedApplication app{f.app, log};
  LoggedProcessList processes{f.processes, log};
  LoggedDownloader downloader{f.downloader, log, [this] { return now; }};
  LoggedUnzipper unzipper{f.unzipper, log, [this] { return now; }};
  Form1 form{controls, app, f.shell, processes, f.clock, downloader, unzipper, f.files, f.run_folders, log, Globals{}, RunWatches{}};

  void Tick(TimerName timer) {
    now += 1000;
    if (f.controls.timers[timer].Enabled()) TickHandlerOf(timer)(form);
  }
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    std::size_t at = 0;
    for (std::size_t end; (end = file.find('\n', at)) != std::string::npos; at = end + 1) {
      lines.push_back(file.substr(at + 13, end - at - 13));  // without the time
    }
    return lines;
  }
};

TEST(RunLog, ABaseUpdateLogsItsEventsInOrderAndNeverThePassword) {
  LoggedChain c;
  const std::wstring kPlatform = L"C:\\Program Files\\1cv8\\bin\\1cv8.exe";
  c.f.files.folders = {L"C:\\Users\\tester\\Downloads", L"C:\\Users\\tester\\Documents"};
  // The password is also part of the user name: masking by searching the text would
  // spoil the name, and a password composed into the command would show.
  c.f.controls.texts[field::kUser] = L"admin";
  c.f.controls.texts[field::kPassword] = L"dmi";
  c.f.controls.checked[field::kWithCredentials] = true;

  LogRunStart(c.log, c.app, L"1.2.3.0", L"Windows 10.0.19045");
  FormCreate(c.form);
  c.log.Attach(std::make_unique<StringSink>(&c.file));  // the user name is known now
  c.f.controls.texts[field::kBaseFolder] = L"C:\\bases\\kalvera";
  Button9Click(c.form);
  c.Tick(TimerName::start_1C);
  c.f.processes.running = {{L"1cv8.exe", 40, kPlatform}};
  c.Tick(TimerName::start_1C);
  c.f.processes.running.clear();
  c.Tick(TimerName::exit_1c);
  c.f.processes.running = {{L"1cv8.exe", 41}};
  c.Tick(TimerName::update_conf);
  c.f.processes.running.clear();
  c.Tick(TimerName::update_conf);
  c.f.processes.running = {{L"1cv8.exe", 42}};
  c.Tick(TimerName::update_conf_2);
  c.f.processes.running.clear();
  c.Tick(TimerName::update_conf_2);

  const std::string kMasked = " /N\"admin\" /P\"***\"";
  const std::vector<std::string> expected = {
      "Kalvera base installer 1.2.3.0",
      "Windows 10.0.19045",
      "runs as: PC\\tester",
      "session user: PC\\tester",
      "Button8Click",
      "platform processes: none",
      "folder Documents: C:\\Users\\tester\\Documents (the system's)",
      "folder Downloads: C:\\Users\\tester\\Downloads (the system's)",
      "command: cmd.exe /D /V:OFF /C RD /s /q \"C:\\Users\\tester\\Downloads\\KalveraDownload\"",
      "Button9Click",
      "message: \xD0\x94\xD0\xBB\xD1\x8F \xD0\xBF\xD1\x80\xD0\xBE\xD0\xB4\xD0\xBE\xD0\xBB\xD0\xB6\xD0\xB5\xD0\xBD\xD0\xB8\xD1\x8F "
      "\xD1\x83\xD1\x81\xD1\x82\xD0\xB0\xD0\xBD\xD0\xBE\xD0\xB2\xD0\xBA\xD0\xB8 \xD0\xB7\xD0\xB0\xD0\xBF\xD1\x83\xD1\x81\xD1\x82\xD0\xB8\xD1\x82\xD0\xB5 "
      "\xD0\xBF\xD0\xBB\xD0\xB0\xD1\x82\xD1\x84\xD0\xBE\xD1\x80\xD0\xBC\xD1\x83 1\xD0\xA1",
  };
  const std::vector<std::string> lines = c.Lines();
  ASSERT_GE(lines.size(), expected.size()) << c.file;
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(lines[i], expected[i]) << "line " << i;

  // What follows, in order: each a fragment of one line.
  const std::vector<std::string> later = {
      "status: ",  // waiting for the platform
      "platform processes: [40 1cv8.exe \"C:\\Program Files\\1cv8\\bin\\1cv8.exe\"]",
      "command: cmd.exe /D /V:OFF /C ",  // the kill, once the scan that found the platform has ended
      "start_1CTimer: the platform started",
      "platform processes: none",
      "exit_1cTimer: no platform runs",
      "Button3Click",
      "run folder: made \"C:\\ProgramData\\Kalvera-a5a5",
      ": HTTP 200, length 1000, 1000 bytes, no signature checked in 0 ms: done",  // the download
      "Button4Click",
      "command: cmd.exe /D /V:OFF /C \"\"C:\\Program Files\\1cv8\\bin\\1cv8.exe\" CONFIG /F \"C:\\bases\\kalvera\"" + kMasked +
          " /LoadCfg",
      "platform processes: [41 1cv8.exe]",
      "platform processes: none",
      "update_confTimer: the platform's run ended",
      "Button5Click",
      "command: cmd.exe /D /V:OFF /C \"\"C:\\Program Files\\1cv8\\bin\\1cv8.exe\" CONFIG /F \"C:\\bases\\kalvera\"" + kMasked +
          " /UpdateDBCfg\"",
      "platform processes: [42 1cv8.exe]",
      "platform processes: none",
      "update_conf_2Timer: the platform's run ended",
      "Button1Click",
      "command: cmd.exe /D /V:OFF /C \"\"C:\\Program Files\\1cv8\\bin\\1cv8.exe\" ENTERPRISE /F \"C:\\bases\\kalvera\"" + kMasked + "\"",
      "termination requested",
      "run folder: removed \"C:\\ProgramData\\Kalvera-a5a5",
  };
  std::size_t at = expected.size();
  for (const std::string& fragment : later) {
    while (at < lines.size() && lines[at].find(fragment) == std::string::npos) ++at;
    EXPECT_LT(at, lines.size()) << "missing, or out of order: " << fragment << "\n" << c.file;
  }
  // Each tick of the wait sets its text again; it is logged once, when it first shows.
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "status: " + Utf8(stage_text::kWaitingForPlatform)), 1) << c.file;
  // The commands really carried the password; the log never does.
  ASSERT_FALSE(c.f.shell.commands.empty());
  EXPECT_NE(c.f.shell.commands.back().find(L"/P\"dmi\""), std::wstring::npos);
  EXPECT_EQ(c.file.find("\"dmi\""), std::string::npos) << c.file;
  EXPECT_EQ(c.file.find("/P\"d"), std::string::npos) << c.file;
}

}  // namespace
