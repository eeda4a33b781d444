#pragma once
// The folder picker on Windows: the common item dialog in pick-folders mode. The thread
// must have joined a single-threaded COM apartment (ComApartment).
#include <windows.h>

#include "ui/folder_picker.h"

class FolderPickerWin32 : public FolderPicker {
 public:
  // The dialog is modal over `owner`, which it disables while it shows.
  explicit FolderPickerWin32(HWND owner) : owner_(owner) {}
  std::optional<std::wstring> PickFolder() override;

 private:
  HWND owner_;
};
