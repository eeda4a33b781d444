#pragma once
// The run log's view of the session: each of these passes every call on unchanged to the
// interface it wraps and logs what support needs to know of it. Form1 is given them in
// place of the interfaces they wrap, so no handler has to remember to log.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "base/run_log.h"
#include "setup/session.h"

// Logs each status text that differs from the one shown: a wait sets the same text on
// every tick, and the log would fill with it.
class LoggedControls : public Controls {
 public:
  LoggedControls(Controls& inner, Log& log) : inner_(inner), log_(log) {}
  std::wstring Text(EditName edit) const override { return inner_.Text(edit); }
  void SetText(EditName edit, const std::wstring& text) override { inner_.SetText(edit, text); }
  bool Checked(CheckBoxName box) const override { return inner_.Checked(box); }
  std::wstring RefusalMessage(const FieldRefusal& refusal) const override { return inner_.RefusalMessage(refusal); }
  void SetShown(EntryChoice control, bool shown) override { inner_.SetShown(control, shown); }
  void SetStatusText(const std::wstring& text) override;
  ProgressBar& Progress() override { return inner_.Progress(); }
  Timer& TimerOf(TimerName timer) override { return inner_.TimerOf(timer); }
  int OuterWidth() const override { return inner_.OuterWidth(); }
  int OuterHeight() const override { return inner_.OuterHeight(); }
  void MoveTo(ScreenPoint origin) override { inner_.MoveTo(origin); }
  void Resize(int outer_width, int outer_height) override { inner_.Resize(outer_width, outer_height); }

 private:
  Controls& inner_;
  Log& log_;
  std::wstring shown_status_;  // the status bar starts empty
};

// Logs each modal message and question with its answer, and the termination request.
class LoggedApplication : public Application {
 public:
  LoggedApplication(Application& inner, Log& log) : inner_(inner), log_(log) {}
  void ShowMessage(const std::wstring& text) override;
  bool Confirm(const std::wstring& text) override;
  void RequestTermination() override;
  bool TerminationRequested() override { return inner_.TerminationRequested(); }
  std::wstring UserName() override { return inner_.UserName(); }
  std::optional<AccountName> RunningAccount() override { return inner_.RunningAccount(); }
  std::optional<AccountName> SessionAccount() override { return inner_.SessionAccount(); }
  ScreenRect WorkArea() override { return inner_.WorkArea(); }
  user_paths::KnownFolders& Folders() override { return inner_.Folders(); }

 private:
  Application& inner_;
  Log& log_;
};

// Logs the platform processes of the utility's session whenever a scan finds that set
// changed: id, name, and the executable's path where it can be read. The visitor sees
// the snapshot as before; the scan only goes on past where the visitor stopped to see
// the whole set, without visiting it further.
class LoggedProcessList : public ProcessList {
 public:
  LoggedProcessList(ProcessList& inner, Log& log) : inner_(inner), log_(log) {}
  bool Scan(const std::function<bool(const ProcessEntry&)>& visit) override;
  std::optional<std::uint32_t> OwnSession() override { return inner_.OwnSession(); }
  ExecutableImage ExecutablePath(std::uint32_t pid) override { return inner_.ExecutablePath(pid); }
  bool IsInstalledProgram(const std::wstring& path) override { return inner_.IsInstalledProgram(path); }

 private:
  ProcessList& inner_;
  Log& log_;
  std::optional<std::map<std::uint32_t, std::wstring>> platforms_;  // nothing before the first scan
};

// One line per transfer, once it has ended: what, where to, the result and how long it
// took. Nothing is added inside the transfer's loop.
class LoggedDownloader : public Downloader {
 public:
  LoggedDownloader(Downloader& inner, Log& log, std::function<std::uint64_t()> elapsed_ms)
      : inner_(inner), log_(log), elapsed_ms_(std::move(elapsed_ms)) {}
  bool GetInetFile(const std::wstring& fileURL, const std::wstring& FileName, ProgressBar& Progress) override;
  std::unique_ptr<ArchiveInput> GetInetFileOpen(const std::wstring& fileURL, const std::wstring& FileName,
                                                ProgressBar& Progress) override;
  DownloadFacts LastDownload() const override { return inner_.LastDownload(); }
  void TellAttemptsTo(TransferEvents* events) override { inner_.TellAttemptsTo(events); }

 private:
  Downloader& inner_;
  Log& log_;
  std::function<std::uint64_t()> elapsed_ms_;
};

// "HTTP 200, length 1024, 1024 bytes, signature verified"; "no answer" and "no length"
// where the server gave none, "no signature checked" where no key is built in or the
// body failed first, else "signature " and what was wrong with it.
std::wstring DownloadFactsText(const DownloadFacts& facts);
// "11 of 12 entries, 4096 bytes".
std::wstring ExtractionFactsText(const ExtractionFacts& facts);

class LoggedUnzipper : public Unzipper {
 public:
  LoggedUnzipper(Unzipper& inner, Log& log, std::function<std::uint64_t()> elapsed_ms)
      : inner_(inner), log_(log), elapsed_ms_(std::move(elapsed_ms)) {}
  bool UnZipFile(const std::wstring& sourceFile, const std::wstring& destPath) override;
  bool UnZipOpenFile(std::unique_ptr<ArchiveInput> source, const std::wstring& sourceFile,
                     const std::wstring& destPath) override;
  ExtractionFacts LastExtraction() const override { return inner_.LastExtraction(); }
  void HoldOnceWritten(const std::wstring& path) override { inner_.HoldOnceWritten(path); }
  void ReleaseHeld() override { inner_.ReleaseHeld(); }

 private:
  Unzipper& inner_;
  Log& log_;
  std::function<std::uint64_t()> elapsed_ms_;
};

// The lines at the start of the run: the utility's version, the Windows version, the
// account the utility runs as and the one signed in to its session.
void LogRunStart(Log& log, Application& app, const std::wstring& version, const std::wstring& windows);
