#pragma once
// The application object's services on Windows.
#include <windows.h>

#include <string>

#include "base/known_folders_win32.h"
#include "setup/session.h"

// GetUserNameW into a buffer of kUserNameBufferSize characters (base/user_name.h);
// "Unknown" when it fails.
std::wstring GetUserFromWindows();

class ApplicationWin32 : public Application {
 public:
  explicit ApplicationWin32(std::wstring title) : title_(std::move(title)) {}
  // The window that owns the modal messages; set once the main window exists.
  void SetOwner(HWND owner) { owner_ = owner; }
  const std::wstring& Title() const { return title_; }

  void ShowMessage(const std::wstring& text) override;
  bool Confirm(const std::wstring& text) override;
  void RequestTermination() override;
  bool TerminationRequested() override { return termination_requested_; }
  std::wstring UserName() override { return GetUserFromWindows(); }
  std::optional<AccountName> RunningAccount() override;
  std::optional<AccountName> SessionAccount() override;
  ScreenRect WorkArea() override;
  user_paths::KnownFolders& Folders() override { return folders_; }

 private:
  std::wstring title_;
  HWND owner_ = nullptr;
  bool termination_requested_ = false;
  KnownFoldersWin32 folders_;
};

class SleepClock : public Clock {
 public:
  void Sleep(unsigned milliseconds) override { ::Sleep(milliseconds); }
  void PauseAnswering(unsigned milliseconds) override;
};
