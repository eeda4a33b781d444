#include "started_window.h"

#include <chrono>
#include <stdexcept>

#include "polling.h"
#include "window_driver.h"
#include "window_view.h"

namespace harness {

using namespace std::chrono_literals;

StartedWindow::StartedWindow() : app_(LaunchApp()) {
  main_ = WaitForMainWindow(app_.pid(), 20s);
  // A failure here leaves no destructor to end the utility: it is ended before the raise.
  const char* missing = nullptr;
  if (!main_) {
    missing = "the main window did not appear";
  } else if (!WaitUntil([&] { return IsShown(main_); }, 10s)) {
    missing = "the main window did not show";
  } else if (!WaitUntil([&] { return FocusedControl(main_) != nullptr; }, 10s)) {
    missing = "the main window took no focus: start-up did not end";
  }
  if (missing) {
    if (app_.Running()) app_.Terminate();
    throw std::runtime_error(missing);
  }
}

StartedWindow::~StartedWindow() {
  if (app_.Running()) app_.Terminate();
}

HWND StartedWindow::Get(int id) const { return Control(app_.pid(), id); }

}  // namespace harness
