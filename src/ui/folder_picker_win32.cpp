#include "ui/folder_picker_win32.h"

#include <objbase.h>
#include <shobjidl.h>

#include <utility>

#include "base/error.h"
#include "base/system_message_win32.h"

namespace {

// One reference to a COM object, released on every path.
template <typename T>
class ComRef {
 public:
  ComRef() = default;
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() {
    if (p_) p_->Release();
  }
  T* operator->() const { return p_; }
  T** out() { return &p_; }

 private:
  T* p_ = nullptr;
};

struct TaskMemory {
  wchar_t* text = nullptr;
  ~TaskMemory() { ::CoTaskMemFree(text); }
};

void Check(HRESULT result, const wchar_t* what) {
  if (FAILED(result)) {
    throw Error(std::wstring(L"Cannot ") + what + L". " + SystemMessage(static_cast<DWORD>(result)));
  }
}

}  // namespace

std::optional<std::wstring> FolderPickerWin32::PickFolder() {
  ComRef<IFileOpenDialog> dialog;
  Check(::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                           reinterpret_cast<void**>(dialog.out())),
        L"create the folder picker");
  // The dialog's own options kept; only a folder on disk can be picked, not "This PC" or
  // a library. No title, start folder or file types of our own.
  FILEOPENDIALOGOPTIONS options = 0;
  Check(dialog->GetOptions(&options), L"set up the folder picker");
  Check(dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM), L"set up the folder picker");
  const HRESULT shown = dialog->Show(owner_);
  if (shown == HRESULT_FROM_WIN32(ERROR_CANCELLED)) return std::nullopt;
  Check(shown, L"show the folder picker");
  ComRef<IShellItem> item;
  Check(dialog->GetResult(item.out()), L"read the chosen folder");
  TaskMemory path;
  Check(item->GetDisplayName(SIGDN_FILESYSPATH, &path.text), L"read the chosen folder's path");
  return std::wstring(path.text);
}
