#include "transfer/downloader_win32.h"

#include <utility>

#include "transfer/get_inet_file.h"
#include "transfer/message_pump_win32.h"
#include "transfer/output_files_win32.h"
#include "transfer/tick_clock_win32.h"

namespace {

// A pause on the GUI thread that handles its messages as they come.
class AnsweringPause : public AttemptPause {
 public:
  explicit AnsweringPause(MessagePump& pump) : pump_(pump) {}
  bool Wait(std::uint64_t ms) override {
    const ULONGLONG end = ::GetTickCount64() + ms;
    for (ULONGLONG now = ::GetTickCount64(); now < end; now = ::GetTickCount64()) {
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
      if (pump_.HandlePending()) return true;
    }
    return pump_.HandlePending();
  }

 private:
  MessagePump& pump_;
};

}  // namespace

WinInetDownloader::WinInetDownloader(DWORD server_timeout_ms, RetryPlan retry)
    : http_(server_timeout_ms), retry_(std::move(retry)) {}

bool WinInetDownloader::GetInetFile(const std::wstring& fileURL, const std::wstring& FileName,
                                    ProgressBar& Progress) {
  WindowsOutputFiles files;
  QueuePumpWin32 pump;  // one per transfer: a quit request it took up goes back at the end
  TickClockWin32 clock;
  AnsweringPause pause(pump);
  return ::GetInetFile(fileURL, FileName, Progress,
                       TransferSystem{http_, files, pump, clock, facts_, pause, events_, retry_});
}
