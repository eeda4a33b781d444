#pragma once
// The application object's services on Windows.
#include <windows.h>

#include <string>

#include "app/session.h"

// GetUserNameW into a 255-character buffer; "Unknown" when it fails.
std::wstring GetUserFromWindows();

class ApplicationWin32 : public Application {
 public:
  explicit ApplicationWin32(std::wstring title) : title_(std::move(title)) {}
  // The window that owns the modal messages; set once the main window exists.
  void SetOwner(HWND owner) { owner_ = owner; }
  const std::wstring& Title() const { return title_; }

  void ShowMessage(const std::wstring& text) override;
  void RequestTermination() override;
  std::wstring UserName() override { return GetUserFromWindows(); }
  ScreenRect WorkArea() override;

 private:
  std::wstring title_;
  HWND owner_ = nullptr;
};

class SleepClock : public Clock {
 public:
  void Sleep(unsigned milliseconds) override { ::Sleep(milliseconds); }
  void PauseAnswering(unsigned milliseconds) override;
};
