// The main window's timers as the stage chain relies on them, on the window itself.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "base/control_names.h"
#include "ui/form1_window_win32.h"

namespace {

// The window as the entry makes it (the executable's resources are linked into this
// test), hidden and attached to no session: a tick reaches it and runs nothing.
class WindowTimers : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
  }

  // Runs the message loop for `duration`, calling `every_100ms` between slices; the
  // window's ticks that came meanwhile.
  template <typename F>
  int TicksWhilePumping(std::chrono::milliseconds duration, F every_100ms) {
    int ticks = 0;
    const auto end = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < end) {
      every_100ms();
      const auto slice_end = std::chrono::steady_clock::now() + std::chrono::milliseconds(100);
      while (std::chrono::steady_clock::now() < slice_end) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
          if (msg.message == WM_TIMER && msg.hwnd == window_.hwnd()) ++ticks;
          ::DispatchMessageW(&msg);
        }
        ::Sleep(5);
      }
    }
    return ticks;
  }
  int TicksWhilePumping(std::chrono::milliseconds duration) {
    return TicksWhilePumping(duration, [] {});
  }

  Form1Window window_{::GetModuleHandleW(nullptr), L"KalveraBase"};
};

}  // namespace

TEST_F(WindowTimers, EnablingAnEnabledTimerKeepsItsPeriodRunning) {
  Timer& timer = window_.TimerOf(TimerName::start_1C);
  // Re-enabled every 100 ms, several times per period: a restart each time would never
  // let it tick within two periods.
  ASSERT_GE(IntervalOf(TimerName::start_1C), 300u);
  const std::chrono::milliseconds pumped(2 * IntervalOf(TimerName::start_1C) + 500);
  timer.SetEnabled(true);
  const int ticks = TicksWhilePumping(pumped, [&] { timer.SetEnabled(true); });
  EXPECT_GE(ticks, 1);
  EXPECT_TRUE(timer.Enabled());
}

TEST_F(WindowTimers, DisabledTimerDoesNotTickAndDisablingTwiceIsHarmless) {
  Timer& timer = window_.TimerOf(TimerName::update_conf);
  timer.SetEnabled(true);
  timer.SetEnabled(false);
  timer.SetEnabled(false);
  EXPECT_EQ(TicksWhilePumping(std::chrono::milliseconds(IntervalOf(TimerName::update_conf) + 800)), 0);
  EXPECT_FALSE(timer.Enabled());
}

// None may tick before the chain enables it, not even after its own period.
TEST_F(WindowTimers, TheSixTimersStartDisabled) {
  unsigned longest = 0;
  for (TimerName name : kAllTimers) {
    SCOPED_TRACE(static_cast<int>(name));
    EXPECT_FALSE(window_.TimerOf(name).Enabled());
    longest = std::max(longest, IntervalOf(name));
  }
  EXPECT_EQ(TicksWhilePumping(std::chrono::milliseconds(longest + 500)), 0);
}
