#include "setup/attempt_status.h"

namespace {

class StatusEvents : public TransferEvents {
 public:
  StatusEvents(Form1& form, const std::wstring& text) : form_(form), text_(text) {}
  void Note(const std::wstring& line) override { form_.log.Event(line); }
  void Pausing(int next, int attempts) override { form_.controls.SetStatusText(text_ + AttemptTail(next, attempts)); }
  void Flowing() override { form_.controls.SetStatusText(text_); }

 private:
  Form1& form_;
  const std::wstring& text_;
};

// The downloader keeps the events only for this download: the object dies with it.
class TellingScope {
 public:
  TellingScope(Downloader& downloader, TransferEvents& events) : downloader_(downloader) {
    downloader_.TellAttemptsTo(&events);
  }
  TellingScope(const TellingScope&) = delete;
  TellingScope& operator=(const TellingScope&) = delete;
  ~TellingScope() { downloader_.TellAttemptsTo(nullptr); }

 private:
  Downloader& downloader_;
};

}  // namespace

std::wstring AttemptTail(int next, int attempts) {
  return L" (попытка " + std::to_wstring(next) + L" из " + std::to_wstring(attempts) + L")";
}

namespace {

template <typename Download>
auto ShowingAttempts(Form1& form, const std::wstring& status_text, Download download) {
  form.controls.SetStatusText(status_text);
  StatusEvents events(form, status_text);
  const TellingScope scope(form.downloader, events);
  return download();
}

}  // namespace

bool DownloadShowingAttempts(Form1& form, const std::wstring& url, const std::wstring& file,
                             const std::wstring& status_text) {
  return ShowingAttempts(form, status_text,
                         [&] { return form.downloader.GetInetFile(url, file, form.controls.Progress()); });
}

std::unique_ptr<ArchiveInput> DownloadOpenShowingAttempts(Form1& form, const std::wstring& url,
                                                          const std::wstring& file, const std::wstring& status_text) {
  return ShowingAttempts(form, status_text,
                         [&] { return form.downloader.GetInetFileOpen(url, file, form.controls.Progress()); });
}
