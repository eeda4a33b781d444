#include "app/application_win32.h"

#include "app/accounts_win32.h"
#include "base/user_name.h"
#include "transfer/message_pump_win32.h"
#include "transfer/transfer_abandoned.h"

std::wstring GetUserFromWindows() {
  wchar_t buffer[kUserNameBufferSize];
  DWORD size = kUserNameBufferSize;
  const bool ok = ::GetUserNameW(buffer, &size) != 0;
  return UserNameFromQuery(ok, buffer, size);
}

void ApplicationWin32::ShowMessage(const std::wstring& text) {
  // A termination request already waiting would end the message's own loop at once and
  // the user would never see it; hold it back while the message is open.
  MSG quit;
  const bool quit_pending = ::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
  ::MessageBoxW(owner_, text.c_str(), title_.c_str(), MB_OK);
  if (quit_pending) ::PostQuitMessage(static_cast<int>(quit.wParam));
}

bool ApplicationWin32::Confirm(const std::wstring& text) {
  return ::MessageBoxW(owner_, text.c_str(), title_.c_str(), MB_OKCANCEL | MB_ICONWARNING) == IDOK;
}

void ApplicationWin32::RequestTermination() {
  termination_requested_ = true;
  ::PostQuitMessage(0);
}

std::optional<AccountName> ApplicationWin32::RunningAccount() { return AccountOfThisProcess(); }

std::optional<AccountName> ApplicationWin32::SessionAccount() { return AccountOfThisSession(); }

ScreenRect ApplicationWin32::WorkArea() {
  RECT area{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  return {area.left, area.top, area.right, area.bottom};
}

void SleepClock::PauseAnswering(unsigned milliseconds) {
  QueuePumpWin32 pump;  // a quit request it took up goes back to the main loop at the end
  const ULONGLONG end = ::GetTickCount64() + milliseconds;
  while (true) {
    if (pump.HandlePending()) throw TransferAbandoned();
    const ULONGLONG now = ::GetTickCount64();
    if (now >= end) return;
    ::MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(end - now), QS_ALLINPUT,
                                  MWMO_INPUTAVAILABLE);
  }
}
