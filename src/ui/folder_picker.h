#pragma once
// The system's dialog for choosing a folder, as the window's handlers ask for it.
#include <optional>
#include <string>

class FolderPicker {
 public:
  virtual ~FolderPicker() = default;
  // Shows the dialog modally over the window and waits. The confirmed folder's full path
  // as the system gives it, or nothing when the user cancelled. Raises Error when the
  // dialog cannot be made or shown.
  virtual std::optional<std::wstring> PickFolder() = 0;
};
