// The two ways a failure reaches the user, shown by the real message boxes.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cwchar>
#include <stdexcept>
#include <thread>
#include <vector>

#include "app/application_win32.h"
#include "base/error.h"
#include "ui/error_report_win32.h"
#include "ui/window_base_win32.h"
#include "harness.h"
#include "transfer/transfer_abandoned.h"

using namespace harness;
using namespace std::chrono_literals;

namespace {

bool HasIcon(const MessageBoxView& box) {
  HWND icon = ::GetDlgItem(box.window, 1088);
  return icon && ::IsWindowVisible(icon) && ::SendMessageW(icon, STM_GETICON, 0, 0) != 0;
}

// Runs `show` on a thread of its own, reads the box it opens and presses OK.
MessageBoxView ShowAndRead(const std::function<void()>& show) {
  std::thread shower(show);
  const auto box = WaitForMessageBox(::GetCurrentProcessId(), 10s);
  MessageBoxView seen = box.value_or(MessageBoxView{});
  seen.caption += HasIcon(seen) ? L" [icon]" : L"";
  if (box) ClickOk(*box);
  shower.join();
  return seen;
}

class LinesLog : public Log {
 public:
  void Event(const std::wstring& text) override { lines.push_back(text); }
  std::vector<std::wstring> lines;
};

// A window whose handler fails, as a layout call on WM_SIZE can.
class ThrowingWindow final : public WindowBase {
 public:
  ThrowingWindow() {
    WNDCLASSEXW wc{};
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KalveraThrowingWindow";
    window_ = ::CreateWindowExW(0, RegisterClassOnce(wc), L"Kalverabase", WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                                nullptr, wc.hInstance, CreateParam());
  }
  ~ThrowingWindow() { ::DestroyWindow(window_); }
  HWND hwnd() const { return window_; }
  LinesLog log;

 private:
  Log* RunLogOf() override { return &log; }
  LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_APP) throw Error(L"Cannot arrange the controls");
    return ::DefWindowProcW(hwnd, msg, wp, lp);
  }

  HWND window_ = nullptr;
};

}  // namespace

// Without the window procedure's catch the exception reaches Windows and the process ends.
TEST(ErrorReports, ThrowInsideAWindowProcedureShowsTheReportAndTheProgramGoesOn) {
  bool created = false;
  LRESULT answer = 1;
  std::vector<std::wstring> logged;
  const MessageBoxView box = ShowAndRead([&] {
    ThrowingWindow window;
    created = window.hwnd() != nullptr;
    answer = ::SendMessageW(window.hwnd(), WM_APP, 0, 0);
    logged = window.log.lines;
  });
  ASSERT_TRUE(created);
  EXPECT_EQ(logged, std::vector<std::wstring>{L"error shown: Cannot arrange the controls."});
  EXPECT_EQ(box.text, L"Cannot arrange the controls.");
  EXPECT_EQ(box.caption, L"Kalverabase [icon]");
  EXPECT_EQ(answer, 0);
}

TEST(ErrorReports, HandlerErrorEndsTheHandlerAndShowsItsTextWithAStopIcon) {
  bool went_on = false;
  const MessageBoxView box = ShowAndRead([&] {
    NoLog no_log;
    RunHandler(
        nullptr, L"Kalverabase",
        [&] {
          throw Error(L"Stream write error");
          went_on = true;
        },
        no_log);
  });
  EXPECT_EQ(box.text, L"Stream write error.");
  EXPECT_EQ(box.caption, L"Kalverabase [icon]");
  EXPECT_FALSE(went_on);
}

TEST(ErrorReports, AbandonedTransferEndsTheHandlerWithoutAReport) {
  // A report would be a modal box the user must answer after closing the window. With the
  // swallowing taken out the box does come, so the poll below watches for both.
  std::atomic<bool> returned = false;
  bool went_on = false;
  std::thread runner([&] {
    NoLog no_log;
    RunHandler(
        nullptr, L"Kalverabase",
        [&] {
          throw TransferAbandoned();
          went_on = true;
        },
        no_log);
    returned = true;
  });
  std::optional<MessageBoxView> box;
  EXPECT_TRUE(WaitUntil(
      [&] {
        box = FindMessageBox(::GetCurrentProcessId());
        return returned || box;
      },
      10s));
  EXPECT_FALSE(box) << "a report was shown: " << ToUtf8(box->text);
  if (box) ClickOk(*box);
  runner.join();
  EXPECT_TRUE(returned);
  EXPECT_FALSE(went_on);
}

TEST(ErrorReports, ApplicationErrorNamesClassModuleAndMessage) {
  const MessageBoxView box = ShowAndRead([] {
    NoLog no_log;
    ShowApplicationError(std::runtime_error("Out of handles"), no_log);
  });
  EXPECT_EQ(box.caption, L"Application Error [icon]");
  wchar_t own_path[MAX_PATH];
  ::GetModuleFileNameW(nullptr, own_path, MAX_PATH);
  const std::wstring own_name = std::wcsrchr(own_path, L'\\') + 1;
  EXPECT_EQ(box.text.rfind(L"Exception std::runtime_error in module " + own_name + L" at ", 0), 0u)
      << ToUtf8(box.text);
  EXPECT_NE(box.text.find(L".\nOut of handles.\n"), std::wstring::npos) << ToUtf8(box.text);
}

TEST(ErrorReports, ModalMessageHasNoIconAndWaitsEvenWithATerminationPending) {
  ApplicationWin32 app(L"Kalverabase");
  MessageBoxView seen;
  std::thread shower([&] {
    app.RequestTermination();  // the guard's first match did this before its second message
    app.ShowMessage(L"Необходимо закрыть все 1С");
    MSG quit;
    // The request survives the message: the main loop still takes it up afterwards.
    seen.window = ::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) ? HWND(1) : nullptr;
  });
  const auto box = WaitForMessageBox(::GetCurrentProcessId(), 10s);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text, L"Необходимо закрыть все 1С");
  EXPECT_EQ(box->caption, L"Kalverabase");
  EXPECT_FALSE(HasIcon(*box));
  ClickOk(*box);
  shower.join();
  EXPECT_TRUE(seen.window) << "the termination request was lost";
}
