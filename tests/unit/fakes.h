#pragma once
// Test doubles for the interfaces the handlers talk through.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/error.h"
#include "setup/session.h"

class FakeTimer : public Timer {
 public:
  void SetEnabled(bool enabled) override { enabled_ = enabled; }
  bool Enabled() const override { return enabled_; }

 private:
  bool enabled_ = false;
};

class FakeProgressBar : public ProgressBar {
 public:
  int max = 100, position = 0;
  void SetMax(int m) override { max = m; }
  void SetPosition(int p) override { position = p; }
  void StepBy(int d) override { position += d; }
};

class FakeControls : public Controls {
 public:
  std::map<EditName, std::wstring> texts;
  std::map<CheckBoxName, bool> checked;
  std::map<EntryChoice, bool> shown;
  std::vector<std::wstring> status_history;
  std::map<TimerName, FakeTimer> timers;
  FakeProgressBar progress;
  int outer_width = 470, outer_height = 711;
  std::vector<ScreenPoint> moves;

  std::wstring Text(EditName e) const override {
    auto it = texts.find(e);
    return it == texts.end() ? std::wstring() : it->second;
  }
  void SetText(EditName e, const std::wstring& t) override { texts[e] = t; }
  bool Checked(CheckBoxName b) const override {
    auto it = checked.find(b);
    return it != checked.end() && it->second;
  }
  void SetShown(EntryChoice c, bool s) override { shown[c] = s; }
  void SetStatusText(const std::wstring& t) override { status_history.push_back(t); }
  ProgressBar& Progress() override { return progress; }
  Timer& TimerOf(TimerName t) override { return timers[t]; }
  int OuterWidth() const override { return outer_width; }
  int OuterHeight() const override { return outer_height; }
  void MoveTo(ScreenPoint p) override { moves.push_back(p); }

  std::wstring Status() const { return status_history.empty() ? L"" : status_history.back(); }
};

// A tracked command that still runs the first `checks` times it is asked (always when negative).
struct FakeCommandRun : CommandRun {
  explicit FakeCommandRun(int checks) : checks_left(checks) {}
  bool HasEnded() override {
    if (checks_left < 0) return false;
    if (checks_left == 0) return true;
    --checks_left;
    return false;
  }
  int checks_left;
};

// Records every command and the order of events it took part in.
class RecordingShell : public Shell {
 public:
  explicit RecordingShell(std::vector<std::wstring>* events = nullptr) : events_(events) {}
  std::vector<std::wstring> commands;
  std::wstring system_folder = L"C:\\Windows\\system32";
  void Run(const std::wstring& parameters) override {
    commands.push_back(parameters);
    if (events_) events_->push_back(L"shell " + parameters);
  }
  std::unique_ptr<CommandRun> RunTracked(const std::wstring& parameters) override {
    Run(parameters);
    return std::make_unique<FakeCommandRun>(0);  // ended at once
  }
  std::wstring SystemFolder() override { return system_folder; }

 private:
  std::vector<std::wstring>* events_;
};

struct FakeProcess {
  FakeProcess(std::wstring n, std::uint32_t p, std::wstring exe_path = {}, bool openable = true,
              std::optional<std::uint32_t> in_session = kOwnSession)
      : name(std::move(n)), pid(p), path(std::move(exe_path)), can_open(openable), session(in_session) {}
  static constexpr std::uint32_t kOwnSession = 2;
  std::wstring name;
  std::uint32_t pid;
  std::wstring path;  // empty: the path cannot be read
  bool can_open;
  std::optional<std::uint32_t> session;
};

class FakeProcessList : public ProcessList {
 public:
  std::vector<FakeProcess> running;
  bool snapshot_fails = false;
  std::optional<std::uint32_t> own_session = FakeProcess::kOwnSession;
  int scans = 0;
  int entries_visited = 0;

  std::optional<std::uint32_t> OwnSession() override { return own_session; }
  bool Scan(const std::function<bool(const ProcessEntry&)>& visit) override {
    ++scans;
    if (snapshot_fails) return false;
    const auto snapshot = running;  // later changes show in the next scan only
    for (const FakeProcess& p : snapshot) {
      ++entries_visited;
      if (!visit({p.name, p.pid, p.session})) break;
    }
    return true;
  }
  std::wstring ExecutablePath(std::uint32_t pid) override {
    for (const FakeProcess& p : running) {
      if (p.pid == pid) {
        if (!p.can_open) throw Error(L"System Error.  Code: 5.\nAccess is denied.");
        return p.path;
      }
    }
    throw Error(L"System Error.  Code: 87.\nThe parameter is incorrect.");
  }
};

// Sleeps advance a clock that nothing else moves.
class FakeClock : public Clock {
 public:
  explicit FakeClock(std::vector<std::wstring>* events = nullptr) : events_(events) {}
  unsigned long long now_ms = 0;
  std::vector<unsigned> sleeps;
  void Sleep(unsigned ms) override {
    now_ms += ms;
    sleeps.push_back(ms);
    if (events_) events_->push_back(L"sleep " + std::to_wstring(ms));
  }
  // Told apart from a blocking sleep in the log: only the window's own pauses answer.
  void PauseAnswering(unsigned ms) override {
    now_ms += ms;
    sleeps.push_back(ms);
    if (events_) events_->push_back(L"pause " + std::to_wstring(ms));
  }

 private:
  std::vector<std::wstring>* events_;
};

class FakeApplication : public Application {
 public:
  explicit FakeApplication(std::vector<std::wstring>* events = nullptr) : events_(events) {}
  std::vector<std::wstring> messages;
  std::function<void()> while_message_open;
  int termination_requests = 0;
  std::wstring user_name = L"tester";
  std::optional<AccountName> running_account = AccountName{L"PC", L"tester"};
  std::optional<AccountName> session_account = AccountName{L"PC", L"tester"};
  bool confirm_answer = true;
  ScreenRect work_area{0, 0, 1280, 1024};

  void ShowMessage(const std::wstring& text) override {
    messages.push_back(text);
    if (events_) events_->push_back(L"message " + text);
    if (while_message_open) while_message_open();
  }
  bool Confirm(const std::wstring& text) override {
    if (events_) events_->push_back(L"confirm " + text);
    return confirm_answer;
  }
  std::optional<AccountName> RunningAccount() override { return running_account; }
  std::optional<AccountName> SessionAccount() override { return session_account; }
  bool TerminationRequested() override { return termination_requests > 0; }
  void RequestTermination() override {
    ++termination_requests;
    if (events_) events_->push_back(L"quit");
  }
  std::wstring UserName() override { return user_name; }
  ScreenRect WorkArea() override { return work_area; }

 private:
  std::vector<std::wstring>* events_;
};

// Folders and files as a set of paths; a folder listed in `unmakable` cannot be made.
class FakeFileSystem : public FileSystem {
 public:
  explicit FakeFileSystem(std::vector<std::wstring>* events = nullptr) : events_(events) {}
  std::set<std::wstring> folders, files, unmakable;

  std::optional<std::wstring> MakeFolder(const std::wstring& path) override {
    if (unmakable.count(path)) return L"Access is denied.";
    if (!folders.insert(path).second) return L"Cannot create a file when that file already exists.";
    if (events_) events_->push_back(L"mkdir " + path);
    return std::nullopt;
  }
  bool FolderExists(const std::wstring& path) override { return folders.count(path) > 0; }
  bool FileExists(const std::wstring& path) override { return files.count(path) > 0; }
  bool RemoveFile(const std::wstring& path) override {
    if (events_) events_->push_back(L"delete " + path);
    return files.erase(path) > 0;
  }

 private:
  std::vector<std::wstring>* events_;
};

// A download that puts the file in place, or raises what `failure` says. Its event ends
// with the bar's position at the start.
class FakeDownloader : public Downloader {
 public:
  FakeDownloader(std::vector<std::wstring>* events, FakeFileSystem& files) : events_(events), files_(files) {}
  std::optional<std::wstring> failure;
  DownloadFacts facts{200, 1000, 1000};
  bool pause_once = false;  // tells one broken attempt and its pause before the file comes
  TransferEvents* events = nullptr;
  void TellAttemptsTo(TransferEvents* told) override { events = told; }

  bool GetInetFile(const std::wstring& url, const std::wstring& file, ProgressBar& bar) override {
    if (events_) {
      const auto* fake_bar = dynamic_cast<const FakeProgressBar*>(&bar);
      events_->push_back(L"download " + url + L" " + file + L" from " +
                         (fake_bar ? std::to_wstring(fake_bar->position) : L"?"));
    }
    if (events && pause_once) {
      events->Note(L"attempt 1");
      events->Pausing(2, 5);
      events->Flowing();
    }
    if (failure) throw Error(*failure);
    files_.files.insert(file);
    bar.SetMax(10);
    bar.SetPosition(10);
    return true;
  }
  DownloadFacts LastDownload() const override { return facts; }

 private:
  std::vector<std::wstring>* events_;
  FakeFileSystem& files_;
};

// An extraction that puts `entries` into the folder (which ends in a backslash).
class FakeUnzipper : public Unzipper {
 public:
  FakeUnzipper(std::vector<std::wstring>* events, FakeFileSystem& files) : events_(events), files_(files) {}
  std::optional<std::wstring> failure;
  std::vector<std::wstring> entries = {L"KalveraSetup1c.exe"};
  ExtractionFacts facts{1, 1, 4096};

  bool UnZipFile(const std::wstring& archive, const std::wstring& folder) override {
    if (events_) events_->push_back(L"unzip " + archive + L" " + folder);
    if (failure) throw Error(*failure);
    for (const std::wstring& entry : entries) files_.files.insert(folder + entry);
    return true;
  }
  ExtractionFacts LastExtraction() const override { return facts; }

 private:
  std::vector<std::wstring>* events_;
  FakeFileSystem& files_;
};

// Keeps each event's text, as the run log would write it, without the time.
class RecordingLog : public Log {
 public:
  std::vector<std::wstring> lines;
  void Event(const std::wstring& text) override { lines.push_back(text); }
};

// A Form1 wired to fakes, with one shared event log for checking order. A test that needs
// the controls to do more passes its own kind of FakeControls.
template <typename ControlsType>
struct BasicFakeForm {
  std::vector<std::wstring> events;
  ControlsType controls;
  FakeApplication app{&events};
  RecordingShell shell{&events};
  FakeProcessList processes;
  FakeClock clock{&events};
  FakeFileSystem files{&events};
  FakeDownloader downloader{&events, files};
  FakeUnzipper unzipper{&events, files};
  RecordingLog log;
  Form1 form{controls, app, shell, processes, clock, downloader, unzipper, files, log, Globals{}, RunWatches{}};
};
using FakeForm = BasicFakeForm<FakeControls>;
