#include "transfer/downloader_win32.h"

#include <process.h>

#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "base/error.h"
#include "base/unique_handle_win32.h"
#include "transfer/get_inet_file.h"
#include "transfer/message_pump_win32.h"
#include "transfer/output_files_win32.h"
#include "transfer/tick_clock_win32.h"
#include "transfer/transfer_abandoned.h"
#include "transfer/wininet_functions_win32.h"

namespace {

// How long the GUI thread waits, once the window is closed, for the worker to end.
constexpr DWORD kStopWaitMs = 1000;
// The worker hands the bar's progress over at most this often.
constexpr ULONGLONG kHandOverMs = 100;

// Everything the worker and the GUI thread share; the worker touches nothing else of the
// program's. The worker runs the whole transfer (WinINet, the file) on state of its own
// and leaves here, under the lock, what the bar should show and what the events said,
// and sets `ready`; the GUI thread takes them from here and applies them to the window,
// and, once the worker has ended, takes its facts and its outcome. Both hold it: when
// the window is closed the GUI thread stops waiting after kStopWaitMs, and a worker still
// blocked in a call ends later on its own bound with only this left to write to.
struct Handover {
  std::mutex lock;
  std::optional<int> max;       // the bar's newest range, not yet applied
  std::optional<int> position;  // the position set after it, not yet applied
  long long steps = 0;          // steps after both, not yet applied
  std::vector<std::function<void(TransferEvents&)>> events;
  ULONGLONG last_ready_ms = 0;

  // Written by the worker alone, read by the GUI thread once the worker has ended.
  DownloadFacts facts;
  std::exception_ptr failure;
  std::unique_ptr<ArchiveInput> kept;  // the file still open, when the job asked for it

  // A request whose proxy asks for credentials: the GUI thread shows the dialog over it
  // while the worker waits for `answered` (or `cancel`), then reads `answer`.
  HINTERNET credentials_for = nullptr;
  DWORD answer = ERROR_CANCELLED;
  UniqueKernelHandle answered{::CreateEventW(nullptr, FALSE, FALSE, nullptr)};

  std::atomic<bool> cancelled{false};
  UniqueKernelHandle ready{::CreateEventW(nullptr, FALSE, FALSE, nullptr)};
  UniqueKernelHandle cancel{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  std::shared_ptr<RequestLine> line = std::make_shared<RequestLine>();
};

// The bar as the worker sees it: its wishes, handed over.
class HandedBar : public ProgressBar {
 public:
  explicit HandedBar(Handover& to) : to_(to) {}
  void SetMax(int max) override {
    const std::lock_guard<std::mutex> hold(to_.lock);
    to_.max = max;
    to_.position.reset();
    to_.steps = 0;
  }
  void SetPosition(int position) override {
    {
      const std::lock_guard<std::mutex> hold(to_.lock);
      to_.position = position;
      to_.steps = 0;
    }
    ::SetEvent(to_.ready.get());
  }
  void StepBy(int delta) override {
    const ULONGLONG now = ::GetTickCount64();
    bool due = false;
    {
      const std::lock_guard<std::mutex> hold(to_.lock);
      to_.steps += delta;
      if (now - to_.last_ready_ms >= kHandOverMs) {
        to_.last_ready_ms = now;
        due = true;
      }
    }
    if (due) ::SetEvent(to_.ready.get());
  }

 private:
  Handover& to_;
};

class HandedEvents : public TransferEvents {
 public:
  explicit HandedEvents(Handover& to) : to_(to) {}
  void Note(const std::wstring& line) override {
    Hand([line](TransferEvents& e) { e.Note(line); });
  }
  void Pausing(int next, int attempts) override {
    Hand([next, attempts](TransferEvents& e) { e.Pausing(next, attempts); });
  }
  void Flowing() override {
    Hand([](TransferEvents& e) { e.Flowing(); });
  }

 private:
  void Hand(std::function<void(TransferEvents&)> event) {
    {
      const std::lock_guard<std::mutex> hold(to_.lock);
      to_.events.push_back(std::move(event));
    }
    ::SetEvent(to_.ready.get());
  }
  Handover& to_;
};

// The window's close, as the worker's loop asks for it after each read.
class CancelFlag : public MessagePump {
 public:
  explicit CancelFlag(Handover& to) : to_(to) {}
  bool HandlePending() override { return to_.cancelled.load(); }

 private:
  Handover& to_;
};

// The pause between attempts: on the worker, ended early by the window's close.
class CancellablePause : public AttemptPause {
 public:
  explicit CancellablePause(Handover& to) : to_(to) {}
  bool Wait(std::uint64_t ms) override {
    return ::WaitForSingleObject(to_.cancel.get(), static_cast<DWORD>(ms)) == WAIT_OBJECT_0;
  }

 private:
  Handover& to_;
};

struct Job {
  std::shared_ptr<Handover> handover;
  std::wstring url;
  std::wstring path;
  DWORD timeout_ms;
  RetryPlan retry;
  PayloadVerifier* verifier;  // used by the worker alone while the GUI thread waits
  bool keep_open;
  bool tell_events;
};

// The dialog belongs to the window, so the GUI thread shows it; the worker, which holds
// the request, waits for the answer. A window closed meanwhile answers for the person.
DWORD AskOnGuiThread(Handover& to, HINTERNET request) {
  {
    const std::lock_guard<std::mutex> hold(to.lock);
    to.credentials_for = request;
  }
  ::SetEvent(to.ready.get());
  const HANDLE waits[] = {to.answered.get(), to.cancel.get()};
  if (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) return ERROR_CANCELLED;
  const std::lock_guard<std::mutex> hold(to.lock);
  return to.answer;
}

unsigned __stdcall RunJob(void* context) {
  const std::unique_ptr<Job> job(static_cast<Job*>(context));
  Handover& to = *job->handover;
  try {
    WinInetSource http(job->timeout_ms, to.line, [&to](HINTERNET request) { return AskOnGuiThread(to, request); });
    WindowsOutputFiles files(true);
    CancelFlag pump(to);
    TickClockWin32 clock;
    CancellablePause pause(to);
    HandedBar bar(to);
    HandedEvents events(to);
    const TransferSystem system{http,  files, pump, clock, to.facts, pause, job->tell_events ? &events : nullptr,
                                job->retry, job->verifier};
    if (job->keep_open) {
      to.kept = ::GetInetFileOpen(job->url, job->path, bar, system);
    } else {
      ::GetInetFile(job->url, job->path, bar, system);
    }
  } catch (...) {
    to.failure = std::current_exception();
  }
  ::SetEvent(to.ready.get());
  return 0;
}

// Applies what the worker handed over, on the GUI thread.
void Apply(Handover& from, ProgressBar& bar, TransferEvents* events) {
  std::optional<int> max, position;
  long long steps = 0;
  std::vector<std::function<void(TransferEvents&)>> told;
  {
    const std::lock_guard<std::mutex> hold(from.lock);
    max = std::exchange(from.max, std::nullopt);
    position = std::exchange(from.position, std::nullopt);
    steps = std::exchange(from.steps, 0);
    told.swap(from.events);
  }
  if (max) bar.SetMax(*max);
  if (position) bar.SetPosition(*position);
  if (steps != 0) bar.StepBy(static_cast<int>(steps));
  if (events) {
    for (const auto& event : told) event(*events);
  }
}

// Shows the credentials dialog the worker asked for, if it did, and hands the answer back.
// The request is the worker's, but the worker is blocked until `answered`. The dialog runs
// its own message loop, so the window goes on painting behind it.
void AnswerCredentials(Handover& to, HWND owner) {
  HINTERNET request = nullptr;
  {
    const std::lock_guard<std::mutex> hold(to.lock);
    request = std::exchange(to.credentials_for, nullptr);
  }
  if (!request) return;
  // FILTER_FOR_ERRORS reads the 407 from the request itself; GENERATE_DATA and
  // CHANGE_OPTIONS keep the user name and password on the request for the next send.
  const DWORD answer =
      owner ? WinInet().InternetErrorDlg(owner, request, ERROR_INTERNET_INCORRECT_PASSWORD,
                                         FLAGS_ERROR_UI_FILTER_FOR_ERRORS | FLAGS_ERROR_UI_FLAGS_GENERATE_DATA |
                                             FLAGS_ERROR_UI_FLAGS_CHANGE_OPTIONS,
                                         nullptr)
            : ERROR_CANCELLED;
  {
    const std::lock_guard<std::mutex> hold(to.lock);
    to.answer = answer;
  }
  ::SetEvent(to.answered.get());
}

}  // namespace

WinInetDownloader::WinInetDownloader(DWORD server_timeout_ms, RetryPlan retry, PayloadVerifier* verifier, HWND owner)
    : timeout_ms_(server_timeout_ms), retry_(std::move(retry)), verifier_(verifier), owner_(owner) {}

bool WinInetDownloader::GetInetFile(const std::wstring& fileURL, const std::wstring& FileName,
                                    ProgressBar& Progress) {
  Download(fileURL, FileName, Progress, false);
  return true;
}

std::unique_ptr<ArchiveInput> WinInetDownloader::GetInetFileOpen(const std::wstring& fileURL,
                                                                 const std::wstring& FileName, ProgressBar& Progress) {
  return Download(fileURL, FileName, Progress, true);
}

// The blocking calls run on a worker; the GUI thread waits in a message loop until it
// ends, so the handler returns only then, as before.
std::unique_ptr<ArchiveInput> WinInetDownloader::Download(const std::wstring& fileURL, const std::wstring& FileName,
                                                          ProgressBar& Progress, bool keep_open) {
  auto handover = std::make_shared<Handover>();
  if (!handover->ready || !handover->cancel || !handover->answered) {
    throw Error(L"Cannot start the download: no event could be made");
  }
  auto job = std::make_unique<Job>(
      Job{handover, fileURL, FileName, timeout_ms_, retry_, verifier_, keep_open, events_ != nullptr});
  UniqueKernelHandle worker(reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, &RunJob, job.get(), 0, nullptr)));
  if (!worker) throw Error(L"Cannot start the download: no thread could be made");
  job.release();  // the worker owns it now

  QueuePumpWin32 pump;  // a quit request it took up goes back to the main loop at the end
  const HANDLE waits[] = {worker.get(), handover->ready.get()};
  while (true) {
    const DWORD woke = ::MsgWaitForMultipleObjects(2, waits, FALSE, INFINITE, QS_ALLINPUT);
    Apply(*handover, Progress, events_);
    if (woke == WAIT_OBJECT_0) break;
    AnswerCredentials(*handover, owner_);
    if (pump.HandlePending()) {
      handover->cancelled = true;
      ::SetEvent(handover->cancel.get());
      handover->line->Cancel();
      if (::WaitForSingleObject(worker.get(), kStopWaitMs) != WAIT_OBJECT_0) {
        // Still blocked (Wine does not end the call on the close): it ends on its own
        // bound, and its partial file goes with its handle, which is marked to be deleted.
        Progress.SetPosition(static_cast<int>(BufferSize));
        throw TransferAbandoned();
      }
      break;
    }
  }
  Apply(*handover, Progress, events_);
  facts_ = handover->facts;
  // A call that the close of the request ended fails with an error of its own; the
  // window's close is what ended it.
  if (handover->cancelled) throw TransferAbandoned();
  if (handover->failure) std::rethrow_exception(handover->failure);
  return std::move(handover->kept);
}
