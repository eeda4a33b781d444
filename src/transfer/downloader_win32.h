#pragma once
// The download through WinINet into a local file, with the GUI thread's queue pumped
// between blocks.
#include <windows.h>

#include "transfer/downloader.h"
#include "transfer/payload_check.h"
#include "transfer/wininet_source_win32.h"

class WinInetDownloader : public Downloader {
 public:
  // `server_timeout_ms` bounds each wait for the server; tests shorten it.
  // `verifier` holds the vendor's keys; null when none are built in.
  explicit WinInetDownloader(DWORD server_timeout_ms = kServerTimeoutMs, PayloadVerifier* verifier = nullptr);
  bool GetInetFile(const std::wstring& fileURL, const std::wstring& FileName,
                   ProgressBar& Progress) override;
  std::unique_ptr<ArchiveInput> GetInetFileOpen(const std::wstring& fileURL, const std::wstring& FileName,
                                                ProgressBar& Progress) override;
  DownloadFacts LastDownload() const override { return facts_; }

 private:
  WinInetSource http_;
  PayloadVerifier* verifier_;
  DownloadFacts facts_;
};
