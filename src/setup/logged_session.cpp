#include "setup/logged_session.h"

#include <exception>

#include "base/error.h"
#include "platform/process_rules.h"

namespace {

std::wstring AccountText(const std::optional<AccountName>& account) {
  if (!account) return L"(cannot be read)";
  return account->domain + L"\\" + account->user;
}

// Runs `transfer` and logs its one line, whatever the outcome; the outcome passes on.
// `facts` is asked once the transfer has ended.
template <typename Transfer, typename Facts>
auto LoggedTransfer(Log& log, const std::function<std::uint64_t()>& elapsed_ms, const std::wstring& what,
                    Transfer transfer, Facts facts) {
  const std::uint64_t start = elapsed_ms();
  auto ended = [&] { return what + L": " + facts() + L" in " + std::to_wstring(elapsed_ms() - start) + L" ms: "; };
  try {
    auto done = transfer();
    log.Event(ended() + (done ? L"done" : L"not done"));
    return done;
  } catch (const std::exception& error) {
    log.Event(ended() + L"failed: " + ErrorText(error));
    throw;
  }
}

}  // namespace

std::wstring DownloadFactsText(const DownloadFacts& facts) {
  std::wstring text = facts.status ? L"HTTP " + std::to_wstring(facts.status) : std::wstring(L"no answer");
  text += facts.length ? L", length " + std::to_wstring(*facts.length) : std::wstring(L", no length");
  text += L", " + std::to_wstring(facts.bytes) + L" bytes";
  return text + (facts.signature.empty() ? L", no signature checked" : L", signature " + facts.signature);
}

std::wstring ExtractionFactsText(const ExtractionFacts& facts) {
  return std::to_wstring(facts.entries_done) + L" of " + std::to_wstring(facts.entries) + L" entries, " +
         std::to_wstring(facts.bytes) + L" bytes";
}

void LoggedControls::SetStatusText(const std::wstring& text) {
  if (text != shown_status_) log_.Event(L"status: " + text);
  shown_status_ = text;
  inner_.SetStatusText(text);
}

void LoggedApplication::ShowMessage(const std::wstring& text) {
  log_.Event(L"message: " + text);
  inner_.ShowMessage(text);
}

bool LoggedApplication::Confirm(const std::wstring& text) {
  log_.Event(L"question: " + text);
  const bool ok = inner_.Confirm(text);
  log_.Event(ok ? L"answer: OK" : L"answer: Cancel");
  return ok;
}

void LoggedApplication::RequestTermination() {
  log_.Event(L"termination requested");
  inner_.RequestTermination();
}

bool LoggedProcessList::Scan(const std::function<bool(const ProcessEntry&)>& visit) {
  const std::optional<std::uint32_t> own = inner_.OwnSession();
  std::map<std::uint32_t, std::wstring> platforms;
  bool visiting = true;
  const bool taken = inner_.Scan([&](const ProcessEntry& entry) {
    if (InOwnSession(entry, own) && IsPlatformName(entry.exe_name)) platforms[entry.pid] = entry.exe_name;
    if (visiting) visiting = visit(entry);
    return true;
  });
  if (!taken || platforms == platforms_) return taken;
  std::wstring line = L"platform processes:";
  if (platforms.empty()) line += L" none";
  for (const auto& [pid, name] : platforms) {
    const std::wstring path = inner_.ExecutablePath(pid).path;
    line += L" [" + std::to_wstring(pid) + L" " + name + (path.empty() ? L"" : L" \"" + path + L"\"") + L"]";
  }
  log_.Event(line);
  platforms_ = std::move(platforms);
  return taken;
}

bool LoggedDownloader::GetInetFile(const std::wstring& fileURL, const std::wstring& FileName,
                                   ProgressBar& Progress) {
  return LoggedTransfer(log_, elapsed_ms_, L"download \"" + fileURL + L"\" to \"" + FileName + L"\"",
                        [&] { return inner_.GetInetFile(fileURL, FileName, Progress); },
                        [&] { return DownloadFactsText(inner_.LastDownload()); });
}

std::unique_ptr<ArchiveInput> LoggedDownloader::GetInetFileOpen(const std::wstring& fileURL,
                                                                const std::wstring& FileName, ProgressBar& Progress) {
  return LoggedTransfer(log_, elapsed_ms_, L"download \"" + fileURL + L"\" to \"" + FileName + L"\"",
                        [&] { return inner_.GetInetFileOpen(fileURL, FileName, Progress); },
                        [&] { return DownloadFactsText(inner_.LastDownload()); });
}

bool LoggedUnzipper::UnZipOpenFile(std::unique_ptr<ArchiveInput> source, const std::wstring& sourceFile,
                                   const std::wstring& destPath) {
  return LoggedTransfer(log_, elapsed_ms_, L"extraction \"" + sourceFile + L"\" to \"" + destPath + L"\"",
                        [&] { return inner_.UnZipOpenFile(std::move(source), sourceFile, destPath); },
                        [&] { return ExtractionFactsText(inner_.LastExtraction()); });
}

bool LoggedUnzipper::UnZipFile(const std::wstring& sourceFile, const std::wstring& destPath) {
  return LoggedTransfer(log_, elapsed_ms_, L"extraction \"" + sourceFile + L"\" to \"" + destPath + L"\"",
                        [&] { return inner_.UnZipFile(sourceFile, destPath); },
                        [&] { return ExtractionFactsText(inner_.LastExtraction()); });
}

void LogRunStart(Log& log, Application& app, const std::wstring& version, const std::wstring& windows) {
  log.Event(L"Kalvera base installer " + version);
  log.Event(windows);
  log.Event(L"runs as: " + AccountText(app.RunningAccount()));
  log.Event(L"session user: " + AccountText(app.SessionAccount()));
}
