// The window timer as the stage chain relies on it.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <vector>

#include "setup/controls.h"

#include "ui/timer_win32.h"

namespace {

int g_ticks = 0;

LRESULT CALLBACK CountTicks(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_TIMER) {
    ++g_ticks;
    return 0;
  }
  return ::DefWindowProcW(hwnd, msg, wp, lp);
}

struct TimerWindow {
  HWND hwnd;
  TimerWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = CountTicks;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TimerTestWindow";
    ::RegisterClassW(&wc);
    hwnd = ::CreateWindowW(L"TimerTestWindow", L"", 0, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
  }
  ~TimerWindow() { ::DestroyWindow(hwnd); }
};

// Runs the message loop for `duration`, calling `every_100ms` between slices.
template <typename F>
void PumpFor(std::chrono::milliseconds duration, F every_100ms) {
  const auto end = std::chrono::steady_clock::now() + duration;
  while (std::chrono::steady_clock::now() < end) {
    every_100ms();
    const auto slice_end = std::chrono::steady_clock::now() + std::chrono::milliseconds(100);
    while (std::chrono::steady_clock::now() < slice_end) {
      MSG msg;
      while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
      ::Sleep(5);
    }
  }
}

}  // namespace

TEST(Timer, EnablingAnEnabledTimerKeepsItsPeriodRunning) {
  TimerWindow window;
  ASSERT_TRUE(window.hwnd);
  TimerWin32 timer(window.hwnd, 7, 300);
  g_ticks = 0;
  timer.SetEnabled(true);
  // Re-enabled three times per period: a restart each time would never let it tick.
  PumpFor(std::chrono::milliseconds(2500), [&] { timer.SetEnabled(true); });
  EXPECT_GE(g_ticks, 1);
  EXPECT_TRUE(timer.Enabled());
}

TEST(Timer, DisabledTimerDoesNotTickAndDisablingTwiceIsHarmless) {
  TimerWindow window;
  TimerWin32 timer(window.hwnd, 8, 100);
  timer.SetEnabled(true);
  timer.SetEnabled(false);
  timer.SetEnabled(false);
  g_ticks = 0;
  PumpFor(std::chrono::milliseconds(800), [] {});
  EXPECT_EQ(g_ticks, 0);
  EXPECT_FALSE(timer.Enabled());
}

// The window makes its six timers this way: none may tick before the chain enables it,
// not even after its own period.
TEST(Timer, TheSixTimersStartDisabled) {
  TimerWindow window;
  std::vector<std::unique_ptr<TimerWin32>> timers;
  UINT_PTR id = 201;
  for (TimerName name : kAllTimers) {
    timers.push_back(std::make_unique<TimerWin32>(window.hwnd, id++, IntervalOf(name)));
    EXPECT_FALSE(timers.back()->Enabled());
  }
  g_ticks = 0;
  PumpFor(std::chrono::milliseconds(3500), [] {});
  EXPECT_EQ(g_ticks, 0);
}
