#pragma once
// Test doubles for the interfaces the handlers talk through.
#include <algorithm>
#include <cstdint>
#include <cwctype>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/error.h"
#include "transfer/transfer_abandoned.h"
#include "setup/session.h"
#include "transfer/payload_check.h"
#include "ui/field_refusal.h"

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
  int min_outer_height = 0;  // what the shown controls need
  int resizes = 0;

  std::wstring Text(EditName e) const override {
    auto it = texts.find(e);
    return it == texts.end() ? std::wstring() : it->second;
  }
  void SetText(EditName e, const std::wstring& t) override { texts[e] = t; }
  bool Checked(CheckBoxName b) const override {
    auto it = checked.find(b);
    return it != checked.end() && it->second;
  }
  // The window's own words, so that a message names the fields as the person reads them.
  std::wstring RefusalMessage(const FieldRefusal& r) const override { return FieldRefusalMessage(r); }
  void SetShown(EntryChoice c, bool s) override { shown[c] = s; }
  void SetStatusText(const std::wstring& t) override { status_history.push_back(t); }
  ProgressBar& Progress() override { return progress; }
  Timer& TimerOf(TimerName t) override { return timers[t]; }
  int OuterWidth() const override { return outer_width; }
  int OuterHeight() const override { return outer_height; }
  void MoveTo(ScreenPoint p) override { moves.push_back(p); }
  void Resize(int w, int h) override {
    ++resizes;
    outer_width = w;
    outer_height = std::max(h, min_outer_height);
  }

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
  void RunIn(const std::wstring& parameters, const std::wstring& folder) override {
    commands.push_back(parameters);
    if (events_) events_->push_back(L"shell " + parameters + L" in " + folder);
  }
  std::unique_ptr<CommandRun> RunTracked(const std::wstring& parameters) override {
    Run(parameters);
    return std::make_unique<FakeCommandRun>(0);  // ended at once
  }
  std::wstring SystemFolder() override { return system_folder; }
  DesktopShell desktop;  // no shell found: every run is started as by Run
  std::optional<std::wstring> desktop_run_fails;
  std::vector<std::wstring> desktop_commands;
  DesktopShell Desktop() override { return desktop; }
  std::optional<std::wstring> RunAsDesktop(const std::wstring& parameters) override {
    if (desktop_run_fails) return desktop_run_fails;
    desktop_commands.push_back(parameters);
    if (events_) events_->push_back(L"unelevated " + parameters);
    return std::nullopt;
  }

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
  // Listed by the snapshot, but gone by the time they are opened.
  std::set<std::uint32_t> gone_when_opened;
  // Paths that are not programs installed on the machine.
  std::set<std::wstring> not_installed;
  ExecutableImage ExecutablePath(std::uint32_t pid) override {
    using State = ExecutableImage::State;
    for (const FakeProcess& p : running) {
      if (p.pid != pid || gone_when_opened.count(pid)) continue;
      if (!p.can_open) return {State::kUnreadable, {}, L"System Error.  Code: 5.\r\nAccess is denied"};
      if (p.path.empty()) return {State::kUnreadable, {}, {}};
      return {State::kRead, p.path, {}};
    }
    return {State::kExited, {}, {}};
  }
  bool IsInstalledProgram(const std::wstring& path) override { return !not_installed.count(path); }
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
  // A pause of this length takes up the window's close.
  std::optional<unsigned> closed_in_pause;
  // Told apart from a blocking sleep in the log: only the window's own pauses answer.
  void PauseAnswering(unsigned ms) override {
    now_ms += ms;
    sleeps.push_back(ms);
    if (events_) events_->push_back(L"pause " + std::to_wstring(ms));
    if (closed_in_pause == ms) throw TransferAbandoned();
  }

 private:
  std::vector<std::wstring>* events_;
};

// The system's answers about the account's folders: by default a usual profile, spelt
// with a lower-case "users" as some systems give it; `answers` overrides a folder.
class FakeKnownFolders : public user_paths::KnownFolders {
 public:
  std::wstring profile = L"C:\\users\\tester";
  std::map<user_paths::KnownFolder, user_paths::FolderAnswer> answers;
  std::set<wchar_t> unseen_drives;

  user_paths::FolderAnswer Path(user_paths::KnownFolder folder) override {
    if (answers.count(folder)) return answers[folder];
    if (folder == user_paths::KnownFolder::Documents) return {profile + L"\\Documents", L""};
    if (folder == user_paths::KnownFolder::Downloads) return {profile + L"\\Downloads", L""};
    return {profile, L""};
  }
  bool DriveSeen(wchar_t letter) override { return unseen_drives.count(letter) == 0; }
  bool SameName(const std::wstring& a, const std::wstring& b) override {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
             return std::towlower(x) == std::towlower(y);
           });
  }
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
  user_paths::KnownFolders& Folders() override { return folders; }
  FakeKnownFolders folders;

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
  // Junctions or symbolic links: an item at or below one of these is refused.
  std::set<std::wstring> links;
  std::optional<std::wstring> LinkOnTheWay(const std::wstring& known_folder, const std::wstring& tail) override {
    const std::wstring path = known_folder + L"\\" + tail;
    for (const std::wstring& link : links) {
      if (path == link || path.rfind(link + L"\\", 0) == 0) return L"\"" + link + L"\" is a junction or a symbolic link";
    }
    return std::nullopt;
  }
  bool RemoveUnlinkedFile(const std::wstring& known_folder, const std::wstring& tail) override {
    return !LinkOnTheWay(known_folder, tail) && RemoveFile(known_folder + L"\\" + tail);
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
  std::optional<std::wstring> refusal;  // a signature refused for this reason
  DownloadFacts facts{200, 1000, 1000, {}};
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
    if (refusal) throw PayloadRefused(url, *refusal);
    files_.files.insert(file);
    bar.SetMax(10);
    bar.SetPosition(10);
    return true;
  }
  // The file as the fake keeps it: only a name, so the reader reads nothing; an extraction
  // told it is open says so in its event.
  std::unique_ptr<ArchiveInput> GetInetFileOpen(const std::wstring& url, const std::wstring& file,
                                                ProgressBar& bar) override {
    GetInetFile(url, file, bar);
    return std::make_unique<NamedArchive>(file);
  }
  DownloadFacts LastDownload() const override { return facts; }

  class NamedArchive : public ArchiveInput {
   public:
    explicit NamedArchive(std::wstring name) : name(std::move(name)) {}
    std::uint64_t Size() override { return 0; }
    void Seek(std::uint64_t) override {}
    std::size_t Read(unsigned char*, std::size_t) override { return 0; }
    const std::wstring name;
  };

 private:
  std::vector<std::wstring>* events_;
  FakeFileSystem& files_;
};

// An extraction that puts `entries` into the folder (which ends in a backslash). The file
// to hold is `held` from its extraction until the release.
class FakeUnzipper : public Unzipper {
 public:
  FakeUnzipper(std::vector<std::wstring>* events, FakeFileSystem& files) : events_(events), files_(files) {}
  std::optional<std::wstring> failure;
  std::vector<std::wstring> entries = {L"KalveraSetup1c.exe"};
  ExtractionFacts facts{1, 1, 4096};
  std::wstring to_hold, held;

  bool UnZipOpenFile(std::unique_ptr<ArchiveInput> source, const std::wstring& archive,
                     const std::wstring& folder) override {
    const auto* named = dynamic_cast<const FakeDownloader::NamedArchive*>(source.get());
    if (!named || named->name != archive) throw Error(L"the open file handed over is not " + archive);
    return UnZipFile(archive, folder);
  }
  bool UnZipFile(const std::wstring& archive, const std::wstring& folder) override {
    if (events_) events_->push_back(L"unzip " + archive + L" " + folder);
    if (failure) throw Error(*failure);
    for (const std::wstring& entry : entries) {
      files_.files.insert(folder + entry);
      if (folder + entry == to_hold) held = to_hold;
    }
    to_hold.clear();
    return true;
  }
  ExtractionFacts LastExtraction() const override { return facts; }
  void HoldOnceWritten(const std::wstring& path) override { to_hold = path; }
  void ReleaseHeld() override { held.clear(); }

 private:
  std::vector<std::wstring>* events_;
  FakeFileSystem& files_;
};

// The program data folder and what lies in it, in the file system's sets; a path in
// `links` is a link (in `folders` or `files` as what it points to), whose target lies
// elsewhere and must survive. Every name made comes from `next_random`, counted up.
class FakeRunFolderSystem : public RunFolderSystem {
 public:
  FakeRunFolderSystem(std::vector<std::wstring>* events, FakeFileSystem& files) : events_(events), files_(files) {}
  std::wstring program_data = L"C:\\ProgramData";
  unsigned char next_random = 0xa5;
  std::set<std::wstring> links, stuck;  // stuck: cannot be removed
  std::set<std::wstring> followed;      // links listed as if they were folders
  std::map<std::wstring, FolderFacts> facts;
  std::optional<std::wstring> copy_failure;

  std::wstring ProgramDataFolder() override { return program_data; }
  std::vector<unsigned char> RandomBytes(std::size_t count) override {
    return std::vector<unsigned char>(count, next_random++);
  }
  std::optional<std::wstring> MakeProtectedFolder(const std::wstring& path, bool& exists) override {
    exists = files_.folders.count(path) || files_.files.count(path);
    if (exists) return L"Cannot create a file when that file already exists.";
    files_.folders.insert(path);
    if (events_) events_->push_back(L"mkdir protected " + path);
    return std::nullopt;
  }
  std::vector<FolderEntry> List(const std::wstring& folder) override {
    std::vector<FolderEntry> entries;
    if (links.count(folder)) followed.insert(folder);
    const std::wstring prefix = folder + L"\\";
    for (const auto* set : {&files_.folders, &files_.files}) {
      for (const std::wstring& path : *set) {
        if (path.compare(0, prefix.size(), prefix) != 0 || path.find(L'\\', prefix.size()) != std::wstring::npos) continue;
        const EntryKind kind = links.count(path) ? EntryKind::Link
                               : set == &files_.folders ? EntryKind::Folder : EntryKind::File;
        entries.push_back({path.substr(prefix.size()), kind});
      }
    }
    return entries;
  }
  FolderFacts Facts(const std::wstring& folder) override {
    const auto it = facts.find(folder);
    return it == facts.end() ? FolderFacts{FolderOwner::Administrators, 0} : it->second;
  }
  bool RemoveFile(const std::wstring& path) override { return Remove(L"rm ", path, files_.files); }
  bool RemoveEmptyFolder(const std::wstring& path) override {
    if (!List(path).empty()) return false;
    return Remove(L"rmdir ", path, files_.folders);
  }
  bool RemoveLink(const std::wstring& path) override {
    if (!links.count(path)) return false;
    links.erase(path);
    return Remove(L"unlink ", path, files_.folders) || files_.files.erase(path) > 0;
  }
  std::optional<std::wstring> CopyFileTo(const std::wstring& from, const std::wstring& to) override {
    if (events_) events_->push_back(L"copy " + from + L" " + to);
    if (copy_failure) return copy_failure;
    if (!files_.files.count(from)) return L"The system cannot find the file specified.";
    files_.files.insert(to);
    return std::nullopt;
  }

 private:
  bool Remove(const wchar_t* what, const std::wstring& path, std::set<std::wstring>& set) {
    if (stuck.count(path) || !set.count(path)) return false;
    set.erase(path);
    if (events_) events_->push_back(what + path);
    return true;
  }
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
  FakeRunFolderSystem run_folders{&events, files};
  RecordingLog log;
  Form1 form{controls, app,   shell, processes, clock,     downloader,
             unzipper, files, run_folders, log, Globals{}, RunWatches{}};
};
using FakeForm = BasicFakeForm<FakeControls>;
