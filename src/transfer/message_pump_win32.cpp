#include "transfer/message_pump_win32.h"

#include <windows.h>

QueuePumpWin32::~QueuePumpWin32() {
  if (quit_) ::PostQuitMessage(exit_code_);
}

bool QueuePumpWin32::HandlePending() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      quit_ = true;
      exit_code_ = static_cast<int>(msg.wParam);
      continue;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return quit_;
}
