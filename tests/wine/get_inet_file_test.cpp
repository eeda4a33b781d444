// The download against the tests' HTTP server through the real WinINet, into the real
// file system, moving a real progress bar in a window that must stay live meanwhile.
#include <windows.h>

#include <commctrl.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/error.h"
#include "harness.h"
#include "transfer/transfer_abandoned.h"
#include "transfer/downloader_win32.h"
#include "ui/progress_bar_win32.h"

using namespace harness;

namespace {

// A window like the utility's bottom edge: a 454 x 27 bar with range 0..100. A timer
// counts its ticks and asks for a repaint each time, so that both show whether the
// window was served while a transfer held the thread.
class LiveWindow {
 public:
  LiveWindow() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = &LiveWindow::Procedure;
    window_class.hInstance = ::GetModuleHandleW(nullptr);
    window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = L"GetInetFileTestWindow";
    ::RegisterClassW(&window_class);
    window_ = ::CreateWindowExW(0, window_class.lpszClassName, L"GetInetFile", WS_OVERLAPPEDWINDOW,
                                20, 20, 470, 120, nullptr, nullptr, window_class.hInstance, this);
    bar_ = ::CreateWindowExW(0, PROGRESS_CLASSW, nullptr, WS_CHILD | WS_VISIBLE, 0, 40, 454, 27,
                             window_, nullptr, window_class.hInstance, nullptr);
    ::ShowWindow(window_, SW_SHOW);
    ::UpdateWindow(window_);
  }
  ~LiveWindow() { ::DestroyWindow(window_); }

  HWND bar() const { return bar_; }
  void StartTicking(UINT interval_ms) { ::SetTimer(window_, 1, interval_ms, nullptr); }
  void StopTicking() { ::KillTimer(window_, 1); }

  int ticks = 0;
  int paints = 0;
  bool quit_on_first_tick = false;
  DWORD last_tick_ms = 0;
  DWORD longest_gap_ms = 0;  // between two ticks, or from the last one until now

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
      ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<LiveWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
      case WM_TIMER: {
        const DWORD now = ::GetTickCount();
        if (self->ticks != 0) self->longest_gap_ms = std::max(self->longest_gap_ms, now - self->last_tick_ms);
        self->last_tick_ms = now;
        if (self->ticks++ == 0 && self->quit_on_first_tick) ::PostQuitMessage(7);
        ::InvalidateRect(window, nullptr, FALSE);
        return 0;
      }
      case WM_PAINT: {
        PAINTSTRUCT paint;
        ::BeginPaint(window, &paint);
        ::EndPaint(window, &paint);
        ++self->paints;
        return 0;
      }
      default:
        return ::DefWindowProcW(window, message, wparam, lparam);
    }
  }

  HWND window_ = nullptr;
  HWND bar_ = nullptr;
};

// Bytes that differ from block to block, so that a lost, repeated or reordered block shows.
std::string PatternBytes(size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  unsigned x = seed * 2654435761u + 1;
  for (char& c : bytes) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    c = static_cast<char>(x >> 8);
  }
  return bytes;
}

// WinINet's own text for one of its codes, without the closing full stop and line break.
std::wstring WinInetMessage(DWORD code) {
  wchar_t text[512] = {};
  ::FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS,
                   ::GetModuleHandleW(L"wininet.dll"), code, 0, text, 512, nullptr);
  std::wstring message = text;
  while (!message.empty() && (message.back() == L'.' || message.back() <= L' ')) message.pop_back();
  return message;
}

// Handles whatever the window left in the queue, so that one test's paints and timer
// messages do not reach the next.
void DrainQueue() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
}

class GetInetFileTest : public ::testing::Test {
 protected:
  // One window for the whole suite: without a window manager, Wine takes two seconds to
  // destroy a top-level window.
  static void SetUpTestSuite() { shared_window = new LiveWindow; }
  static void TearDownTestSuite() { delete shared_window; }

  void SetUp() override {
    window.StopTicking();
    DrainQueue();
    window.ticks = window.paints = 0;
    window.longest_gap_ms = 0;
    window.quit_on_first_tick = false;
    progress.SetMax(100);  // as the window creates the bar
    progress.SetPosition(0);
  }
  void TearDown() override {
    window.StopTicking();
    DrainQueue();
  }

  std::wstring OutputPath(const std::wstring& name) { return TestTmp() + L"\\" + name; }

  // The text of the error the download raises, or a failure when it returns.
  std::wstring FailureOf(const std::wstring& url, const std::wstring& path,
                         DWORD timeout_ms = kServerTimeoutMs) {
    WinInetDownloader downloader(timeout_ms, kOneAttempt);
    try {
      downloader.GetInetFile(url, path, progress);
    } catch (const Error& e) {
      return e.text();
    }
    ADD_FAILURE() << "no error raised for " << ToUtf8(url);
    return L"";
  }

  static LiveWindow* shared_window;
  LiveWindow& window = *shared_window;
  ProgressBarWin32 progress{window.bar()};
  // The rules of a single attempt; trying again has its native table and scenario tests.
  static inline const RetryPlan kOneAttempt{1, {}, 30000};
  WinInetDownloader downloader{kServerTimeoutMs, kOneAttempt};
};

LiveWindow* GetInetFileTest::shared_window = nullptr;

TEST_F(GetInetFileTest, StoresTheBodyExactlyAndEndsWithAFullBar) {
  struct Case {
    size_t size;
    int max;
  } cases[] = {{1000000, 10000}, {200000, 2000}, {150, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    const std::string body = PatternBytes(c.size, static_cast<unsigned>(c.size));
    const std::wstring name = L"body" + std::to_wstring(c.size) + L".bin";
    ServeFile(L"/files/" + name, body);

    EXPECT_TRUE(downloader.GetInetFile(HttpUrl(L"/files/" + name), OutputPath(name), progress));

    EXPECT_TRUE(ReadFileBytes(OutputPath(name)) == body) << "the bytes on disk differ";
    EXPECT_EQ(ProgressRange(window.bar()), std::make_pair(0, c.max));
    EXPECT_EQ(ProgressPosition(window.bar()), c.max);
  }
}

TEST_F(GetInetFileTest, LeavesTheRangeAloneWithoutAContentLength) {
  const std::string body = PatternBytes(300000, 3);
  ServeFile(L"/files/chunked.bin", body);
  const wchar_t* routes[] = {L"/__chunked/files/chunked.bin", L"/__nolength/files/chunked.bin"};
  for (const wchar_t* route : routes) {
    SCOPED_TRACE(ToUtf8(route));
    progress.SetMax(500);  // as an earlier download left it
    progress.SetPosition(7);

    EXPECT_TRUE(downloader.GetInetFile(HttpUrl(route), OutputPath(L"chunked.bin"), progress));

    EXPECT_TRUE(ReadFileBytes(OutputPath(L"chunked.bin")) == body);
    EXPECT_EQ(ProgressRange(window.bar()), std::make_pair(0, 500));
    EXPECT_EQ(ProgressPosition(window.bar()), 500);
  }
}

TEST_F(GetInetFileTest, ReplacesALongerFileExactly) {
  WriteFileBytes(OutputPath(L"replaced.bin"), std::string(500000, 'x'));
  const std::string body = PatternBytes(123457, 5);
  ServeFile(L"/files/replaced.bin", body);

  EXPECT_TRUE(downloader.GetInetFile(HttpUrl(L"/files/replaced.bin"), OutputPath(L"replaced.bin"), progress));

  EXPECT_TRUE(ReadFileBytes(OutputPath(L"replaced.bin")) == body);
}

TEST_F(GetInetFileTest, FollowsARedirect) {
  const std::string body = PatternBytes(4000, 6);
  ServeFile(L"/files/moved.bin", body);

  EXPECT_TRUE(downloader.GetInetFile(HttpUrl(L"/__redirect/files/moved.bin"), OutputPath(L"moved.bin"), progress));

  EXPECT_TRUE(ReadFileBytes(OutputPath(L"moved.bin")) == body);
}

TEST_F(GetInetFileTest, NamesTheProgramAsAgentAndAsksPastEveryCache) {
  ASSERT_TRUE(downloader.GetInetFile(HttpUrl(L"/__headers"), OutputPath(L"headers.txt"), progress));

  const std::string headers = ReadFileBytes(OutputPath(L"headers.txt"));
  EXPECT_NE(headers.find("User-Agent: wine_get_inet_file_test.exe\n"), std::string::npos) << headers;
  EXPECT_NE(headers.find("no-cache"), std::string::npos) << headers;
}

TEST_F(GetInetFileTest, KeepsNoCopyInWinInetsCache) {
  ServeFile(L"/files/uncached.bin", PatternBytes(100000, 8));
  const std::wstring url = HttpUrl(L"/files/uncached.bin");

  ASSERT_TRUE(downloader.GetInetFile(url, OutputPath(L"uncached.bin"), progress));

  DWORD size = 0;
  EXPECT_FALSE(::GetUrlCacheEntryInfoW(url.c_str(), nullptr, &size));
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(GetInetFileTest, ReportsAnErrorStatusAndLeavesNoFile) {
  ServeFile(L"/files/page.html", PatternBytes(1234, 9));
  for (unsigned status : {404u, 500u}) {
    SCOPED_TRACE(status);
    progress.SetMax(100);
    progress.SetPosition(40);
    const std::wstring url = HttpUrl(L"/__status/" + std::to_wstring(status) + L"/files/page.html");

    EXPECT_EQ(FailureOf(url, OutputPath(L"page.html")),
              L"Cannot download \"" + url + L"\". The server answered with HTTP status " +
                  std::to_wstring(status));

    EXPECT_FALSE(FileExists(OutputPath(L"page.html")));
    EXPECT_EQ(ProgressRange(window.bar()), std::make_pair(0, 100)) << "the error page's length is not the file's";
    EXPECT_EQ(ProgressPosition(window.bar()), 100) << "3072, clamped to the range";
  }
}

TEST_F(GetInetFileTest, ReportsAFailedConnectionAndLeavesNoFile) {
  ServeFile(L"/files/cut.bin", PatternBytes(1000000, 10));
  struct Case {
    const char* name;
    std::wstring url;
    std::wstring reason;  // empty: whatever the system says
  } cases[] = {
      // Nothing listens on port 1 of the loopback.
      {"refused", L"http://127.0.0.1:1/files/cut.bin", WinInetMessage(ERROR_INTERNET_CANNOT_CONNECT)},
      {"cut short", HttpUrl(L"/__cut/100000/files/cut.bin"),
       L"The connection closed after 100000 of 1000000 bytes"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);

    const std::wstring text = FailureOf(c.url, OutputPath(L"cut.bin"));

    EXPECT_EQ(text, L"Cannot download \"" + c.url + L"\". " + c.reason);
    EXPECT_FALSE(FileExists(OutputPath(L"cut.bin")));
  }
}

TEST_F(GetInetFileTest, GivesUpOnAServerThatAnswersNothing) {
  // The server holds the request unanswered for 90 s. The product waits 30 s at most; a
  // bound of 2 s keeps the test short.
  const std::wstring url = HttpUrl(L"/__stall");
  const DWORD start = ::GetTickCount();

  const std::wstring text = FailureOf(url, OutputPath(L"stall.bin"), 2000);

  EXPECT_LT(::GetTickCount() - start, 30000u) << "it waited for the server to give up";
  EXPECT_EQ(text, L"Cannot download \"" + url + L"\". The server sent nothing for 2 seconds");
  EXPECT_FALSE(FileExists(OutputPath(L"stall.bin")));
}

TEST_F(GetInetFileTest, SaysTheServerSentNothingWhenTheBodyStalls) {
  // The head arrives, then the server holds the body back longer than the bound: under
  // Wine the read fails with the socket's 10060, for which the system has no text.
  ServeFile(L"/files/stalled.bin", PatternBytes(2000, 14));
  const std::wstring url = HttpUrl(L"/__paced/100/4000/files/stalled.bin");

  const std::wstring text = FailureOf(url, OutputPath(L"stalled.bin"), 1000);

  EXPECT_EQ(text, L"Cannot download \"" + url + L"\". The server sent nothing for 1 second");
  EXPECT_FALSE(FileExists(OutputPath(L"stalled.bin")));
}

TEST_F(GetInetFileTest, EndsABodyThatTricklesWithinAbout40SecondsWhileTheWindowLives) {
  // 100 bytes every 1.5 s: never 30 s without data, so WinINet never gives up, but 2,000
  // bytes in 30 s. Reading whole 3,072-byte blocks it would take 13 minutes.
  ServeFile(L"/files/trickle.bin", PatternBytes(200000, 15));
  const std::wstring url = HttpUrl(L"/__paced/100/1500/files/trickle.bin");
  window.StartTicking(100);
  const DWORD start = ::GetTickCount();

  const std::wstring text = FailureOf(url, OutputPath(L"trickle.bin"));

  const DWORD took = ::GetTickCount() - start;
  EXPECT_GE(took, 30000u);
  EXPECT_LT(took, 40000u);
  const std::wstring head = L"Cannot download \"" + url + L"\". The server sent only ";
  ASSERT_EQ(text.substr(0, head.size()), head) << ToUtf8(text);
  const int bytes = std::stoi(text.substr(head.size()));
  EXPECT_GE(bytes, 1800);
  EXPECT_LE(bytes, 2200);
  EXPECT_EQ(text.substr(text.find(L" bytes")), L" bytes in the last 30 seconds");
  // A tick waits for the pump, which turns once per read: one read per piece as it came.
  EXPECT_GE(window.ticks, 15);
  EXPECT_FALSE(FileExists(OutputPath(L"trickle.bin")));
}

TEST_F(GetInetFileTest, ReportsAFileThatCannotBeCreated) {
  ServeFile(L"/files/small.bin", PatternBytes(20000, 11));
  const std::wstring missing_folder = OutputPath(L"no such folder\\small.bin");
  // (A read-only file cannot stand in: Wine running as root replaces it all the same.)
  const std::wstring held = OutputPath(L"held.bin");
  WriteFileBytes(held, "older");
  UniqueFile holder(::CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(holder);

  for (const std::wstring& path : {missing_folder, held}) {
    SCOPED_TRACE(ToUtf8(path));
    const std::wstring head = L"Cannot create file \"" + path + L"\". ";

    const std::wstring text = FailureOf(HttpUrl(L"/files/small.bin"), path);

    EXPECT_EQ(text.substr(0, head.size()), head) << ToUtf8(text);
    ASSERT_GT(text.size(), head.size()) << "the system's message follows";
    EXPECT_NE(text.back(), L'.');
    EXPECT_NE(text.back(), L'\n');
  }
  EXPECT_FALSE(DirectoryExists(OutputPath(L"no such folder")));
  holder.reset();
  EXPECT_EQ(ReadFileBytes(held), "older") << "a file held open is left as it was";
}

TEST_F(GetInetFileTest, KeepsTheWindowLiveDuringALongTransfer) {
  // Ten 64 KiB pieces, 150 ms apart.
  const std::string body = PatternBytes(10 * 65536, 12);
  ServeFile(L"/files/slow.bin", body);
  window.StartTicking(20);

  EXPECT_TRUE(downloader.GetInetFile(HttpUrl(L"/__paced/65536/150/files/slow.bin"), OutputPath(L"slow.bin"), progress));

  // Nothing pumped the queue but the download itself.
  EXPECT_GE(window.ticks, 5);
  EXPECT_GE(window.paints, 5);
  EXPECT_TRUE(ReadFileBytes(OutputPath(L"slow.bin")) == body);
}

TEST_F(GetInetFileTest, DrawsAStepHeldBackByTheFrameOnceTheDataPauses) {
  progress.SetMax(1000000);
  for (int i = 0; i < 300; ++i) progress.StepBy(31);  // a burst: several pixels in no time
  ASSERT_EQ(progress.Position(), 9300);
  EXPECT_LT(ProgressPosition(window.bar()), 9300) << "the control is spared all but the first";

  const DWORD start = ::GetTickCount();
  while (::GetTickCount() - start < 300) {
    DrainQueue();
    ::Sleep(5);
  }

  EXPECT_EQ(ProgressPosition(window.bar()), 9300);
}

TEST_F(GetInetFileTest, EndsAtTheNextBlockWhenTheWindowIsClosedAndKeepsTheQuitForTheMainLoop) {
  // A megabyte at 100 bytes every 20 ms would take over three minutes.
  ServeFile(L"/files/quit.bin", PatternBytes(1000000, 13));
  WriteFileBytes(OutputPath(L"quit.bin"), "older");
  window.quit_on_first_tick = true;
  window.StartTicking(20);

  EXPECT_THROW(downloader.GetInetFile(HttpUrl(L"/__paced/100/20/files/quit.bin"), OutputPath(L"quit.bin"), progress),
               TransferAbandoned);

  // The close may come before the body, which leaves an older file as any failure there does.
  EXPECT_TRUE(!FileExists(OutputPath(L"quit.bin")) || ReadFileBytes(OutputPath(L"quit.bin")) == "older")
      << "no partial file is left";
  window.StopTicking();
  MSG msg;
  bool quit = false;
  while (!quit && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) quit = msg.message == WM_QUIT;
  ASSERT_TRUE(quit) << "the main loop still gets the quit request";
  EXPECT_EQ(msg.wParam, 7u);
}

TEST_F(GetInetFileTest, FollowsTenRedirectsAndRefusesTheEleventhOfALoop) {
  const std::string body = PatternBytes(5000, 15);
  ServeFile(L"/files/far.bin", body);

  EXPECT_TRUE(downloader.GetInetFile(HttpUrl(L"/__redirects/10/files/far.bin"), OutputPath(L"far.bin"), progress));
  EXPECT_TRUE(ReadFileBytes(OutputPath(L"far.bin")) == body);

  // Every hop a new relative address: WinINet on its own followed this for ever.
  const std::wstring loop = HttpUrl(L"/__loop/0");
  EXPECT_EQ(FailureOf(loop, OutputPath(L"loop.bin")),
            L"Cannot download \"" + loop +
                L"\". The server redirected the request more than 10 times: too many redirects");
  EXPECT_FALSE(FileExists(OutputPath(L"loop.bin")));
}

TEST_F(GetInetFileTest, FailsABodyShorterThanALengthBeyond32Bits) {
  ServeFile(L"/files/big.bin", PatternBytes(1000000, 16));
  struct Case {
    const char* name;
    std::wstring route;
    std::wstring reason;
    int max;
  } cases[] = {
      {"5,000,000,000 announced, 1 MB sent", L"/__length/5000000000/1000000/files/big.bin",
       L"The connection closed after 1000000 of 5000000000 bytes", 50000000},
      {"4 GiB + 100,000 announced, 100,000 sent", L"/__length/4295067296/100000/files/big.bin",
       L"The connection closed after 100000 of 4295067296 bytes", 42950673},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::wstring url = HttpUrl(c.route);

    EXPECT_EQ(FailureOf(url, OutputPath(L"big.bin")), L"Cannot download \"" + url + L"\". " + c.reason);

    EXPECT_FALSE(FileExists(OutputPath(L"big.bin")));
    EXPECT_EQ(ProgressRange(window.bar()), std::make_pair(0, c.max));
  }
}

TEST_F(GetInetFileTest, ReadsEveryContentLengthLineAndRefusesOnesThatDisagree) {
  ServeFile(L"/files/twice.bin", PatternBytes(1000, 17));
  WriteFileBytes(OutputPath(L"twice.bin"), "older");
  const std::wstring conflicting = HttpUrl(L"/__length/100+200/100/files/twice.bin");

  EXPECT_EQ(FailureOf(conflicting, OutputPath(L"twice.bin")),
            L"Cannot download \"" + conflicting + L"\". The server sent two different lengths, 100 and 200 bytes");
  EXPECT_EQ(ReadFileBytes(OutputPath(L"twice.bin")), "older") << "judged before the file is touched";

  EXPECT_TRUE(downloader.GetInetFile(HttpUrl(L"/__length/100+100/100/files/twice.bin"), OutputPath(L"twice.bin"),
                                     progress));
  EXPECT_TRUE(ReadFileBytes(OutputPath(L"twice.bin")) == PatternBytes(1000, 17).substr(0, 100));
}

TEST_F(GetInetFileTest, StoresAChunkedBodyCutBeforeItsLastChunkAsWholeForWinInetCannotTell) {
  // The limit the transfer lives with (see WinInetSource): a chunked body carries no
  // length, and WinINet ends a cut one, inside a chunk or between two, with the same
  // empty read as a whole one. Should WinINet ever report it, this fails and the
  // transfer's comment is to be revisited.
  const std::string body = PatternBytes(100000, 18);
  ServeFile(L"/files/chunks.bin", body);
  for (size_t cut : {25000u, 30000u}) {
    SCOPED_TRACE(cut);
    const std::wstring url = HttpUrl(L"/__chunkcut/" + std::to_wstring(cut) + L"/files/chunks.bin");

    EXPECT_TRUE(downloader.GetInetFile(url, OutputPath(L"chunks.bin"), progress));

    EXPECT_TRUE(ReadFileBytes(OutputPath(L"chunks.bin")) == body.substr(0, cut));
  }
}

}  // namespace

namespace {

// A server on a poor network: the file, served as `mode` says (tests/tools/http_server.py).
void ServePoorly(const std::wstring& url_path, const std::string& bytes, const std::string& mode) {
  ServeFile(url_path, bytes);
  ServeFile(url_path + L".__mode", mode);
}

// The Range asked by each request the server saw for the file, "-" for none.
std::vector<std::string> RangesSeen(const std::wstring& url_path) {
  const std::string seen = ReadFileBytes(ServedPath(url_path + L".__seen"));
  std::vector<std::string> ranges;
  for (std::size_t at = 0; at < seen.size();) {
    const std::size_t end = seen.find('\n', at);
    const std::string line = seen.substr(at, end - at);
    ranges.push_back(line.substr(0, line.find(' ')));
    at = end == std::string::npos ? seen.size() : end + 1;
  }
  return ranges;
}

const RetryPlan kQuickRetries{5, {100}, 30000};

}  // namespace

TEST_F(GetInetFileTest, GoesOnWithARangeAfterACutOrStartsAgainWhenTheServerIgnoresIt) {
  const std::string body = PatternBytes(1048576, 31);
  struct Case {
    const char* mode;
    std::vector<std::string> ranges;
  } cases[] = {
      {"cut-once 40", {"-", "bytes=419430-"}},
      {"cut-once 40 ignore-range", {"-", "bytes=419430-"}},
  };
  int round = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    const std::wstring name = L"poor" + std::to_wstring(++round) + L".bin";
    ServePoorly(L"/files/" + name, body, c.mode);
    WinInetDownloader retrying(kServerTimeoutMs, kQuickRetries);

    EXPECT_TRUE(retrying.GetInetFile(HttpUrl(L"/files/" + name), OutputPath(name), progress));

    EXPECT_TRUE(ReadFileBytes(OutputPath(name)) == body) << "the bytes on disk differ";
    EXPECT_EQ(RangesSeen(L"/files/" + name), c.ranges);
    EXPECT_EQ(retrying.LastDownload().attempts, 2);
    EXPECT_EQ(ProgressPosition(window.bar()), 10486);
  }
}

TEST_F(GetInetFileTest, ReportsATransferCutEveryTimeAfterFiveAttemptsAndLeavesNoFile) {
  ServePoorly(L"/files/cut_always.bin", PatternBytes(300000, 32), "cut-always 40");
  WinInetDownloader retrying(kServerTimeoutMs, kQuickRetries);
  try {
    retrying.GetInetFile(HttpUrl(L"/files/cut_always.bin"), OutputPath(L"cut_always.bin"), progress);
    ADD_FAILURE() << "no error raised";
  } catch (const Error& e) {
    const std::wstring tail = L" (5 attempts made)";
    EXPECT_EQ(e.text().substr(e.text().size() - tail.size()), tail) << ToUtf8(e.text());
  }
  EXPECT_EQ(RangesSeen(L"/files/cut_always.bin").size(), 5u);
  EXPECT_FALSE(FileExists(OutputPath(L"cut_always.bin")));
}

// Wine's WinINet holds the worker in the send; only the wait on it is the GUI thread's.
TEST_F(GetInetFileTest, AnswersTheWindowWhileTheServerHoldsItsHeadBack) {
  const std::string body = PatternBytes(200000, 33);
  ServePoorly(L"/files/held.bin", body, "hold-head 20");
  window.StartTicking(100);

  EXPECT_TRUE(downloader.GetInetFile(HttpUrl(L"/files/held.bin"), OutputPath(L"held.bin"), progress));

  window.StopTicking();
  EXPECT_GE(window.ticks, 100) << "20 s of ticks every 100 ms";
  EXPECT_LT(window.longest_gap_ms, 2000u);
  EXPECT_TRUE(ReadFileBytes(OutputPath(L"held.bin")) == body);
}

TEST_F(GetInetFileTest, StopsWaitingSoonAfterTheWindowIsClosedWhileTheHeadIsHeldBack) {
  ServePoorly(L"/files/held_closed.bin", PatternBytes(200000, 34), "hold-head 20");
  window.quit_on_first_tick = true;
  window.StartTicking(20);
  const DWORD start = ::GetTickCount();

  EXPECT_THROW(downloader.GetInetFile(HttpUrl(L"/files/held_closed.bin"), OutputPath(L"held_closed.bin"), progress),
               TransferAbandoned);

  EXPECT_LT(::GetTickCount() - start, 5000u) << "not the 20 s the head is held";
  window.StopTicking();
  MSG msg;
  bool quit = false;
  while (!quit && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) quit = msg.message == WM_QUIT;
  EXPECT_TRUE(quit) << "the main loop still gets the quit request";
}
