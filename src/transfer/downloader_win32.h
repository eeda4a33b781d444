#pragma once
// The download through WinINet into a local file, with the GUI thread's queue pumped
// between blocks.
#include <windows.h>

#include "transfer/downloader.h"
#include "transfer/wininet_source_win32.h"

class WinInetDownloader : public Downloader {
 public:
  // `server_timeout_ms` bounds each wait for the server; tests shorten it.
  explicit WinInetDownloader(DWORD server_timeout_ms = kServerTimeoutMs);
  bool GetInetFile(const std::wstring& fileURL, const std::wstring& FileName,
                   ProgressBar& Progress) override;
  DownloadFacts LastDownload() const override { return facts_; }

 private:
  WinInetSource http_;
  DownloadFacts facts_;
};
