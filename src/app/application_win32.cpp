#include "app/application_win32.h"

#include "app/accounts_win32.h"
#include "base/user_name.h"

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
