#pragma once
// The download through WinINet into a local file, with the GUI thread's queue pumped
// between blocks.
#include <windows.h>

#include "transfer/downloader.h"
#include "transfer/payload_check.h"
#include "transfer/retry_plan.h"
#include "transfer/wininet_source_win32.h"

class WinInetDownloader : public Downloader {
 public:
  // `server_timeout_ms` bounds each wait for the server and the wait for a response head;
  // `retry` says how often and after which pauses a broken transfer is tried again. Tests
  // shorten both. `verifier` holds the vendor's keys; null when none are built in.
  // `owner` is the window the proxy credentials dialog belongs to; without one, a proxy
  // that asks for credentials ends the download as if the person had cancelled.
  explicit WinInetDownloader(DWORD server_timeout_ms = kServerTimeoutMs, RetryPlan retry = RetryPlan{},
                             PayloadVerifier* verifier = nullptr, HWND owner = nullptr);
  bool GetInetFile(const std::wstring& fileURL, const std::wstring& FileName,
                   ProgressBar& Progress) override;
  std::unique_ptr<ArchiveInput> GetInetFileOpen(const std::wstring& fileURL, const std::wstring& FileName,
                                                ProgressBar& Progress) override;
  DownloadFacts LastDownload() const override { return facts_; }
  void TellAttemptsTo(TransferEvents* events) override { events_ = events; }

 private:
  std::unique_ptr<ArchiveInput> Download(const std::wstring& fileURL, const std::wstring& FileName,
                                         ProgressBar& Progress, bool keep_open);
  DWORD timeout_ms_;
  RetryPlan retry_;
  TransferEvents* events_ = nullptr;
  PayloadVerifier* verifier_;
  HWND owner_;
  DownloadFacts facts_;
};
