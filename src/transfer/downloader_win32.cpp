#include "transfer/downloader_win32.h"

#include "transfer/get_inet_file.h"
#include "transfer/message_pump_win32.h"
#include "transfer/output_files_win32.h"
#include "transfer/tick_clock_win32.h"

WinInetDownloader::WinInetDownloader(DWORD server_timeout_ms, PayloadVerifier* verifier)
    : http_(server_timeout_ms), verifier_(verifier) {}

bool WinInetDownloader::GetInetFile(const std::wstring& fileURL, const std::wstring& FileName,
                                    ProgressBar& Progress) {
  WindowsOutputFiles files;
  QueuePumpWin32 pump;  // one per transfer: a quit request it took up goes back at the end
  TickClockWin32 clock;
  return ::GetInetFile(fileURL, FileName, Progress, TransferSystem{http_, files, pump, clock, facts_, verifier_});
}

std::unique_ptr<ArchiveInput> WinInetDownloader::GetInetFileOpen(const std::wstring& fileURL,
                                                                 const std::wstring& FileName, ProgressBar& Progress) {
  WindowsOutputFiles files;
  QueuePumpWin32 pump;
  TickClockWin32 clock;
  return ::GetInetFileOpen(fileURL, FileName, Progress, TransferSystem{http_, files, pump, clock, facts_, verifier_});
}
