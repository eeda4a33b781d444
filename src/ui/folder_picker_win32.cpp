#include "ui/folder_picker_win32.h"

#include <objbase.h>
#include <shobjidl.h>

#include <utility>

#include "app/error.h"
#include "app/system_message_win32.h"

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

// COM on this thread for one call: a thread that has it already keeps it as it was.
class ComApartment {
 public:
  ComApartment() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (SUCCEEDED(result_)) ::CoUninitialize();
  }

 private:
  HRESULT result_;
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
  ComApartment apartment;
  ComRef<IFileOpenDialog> dialog;
  Check(::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                           reinterpret_cast<void**>(dialog.out())),
        L"create the folder picker");
  // The one option: no title, start folder or file types of our own.
  Check(dialog->SetOptions(FOS_PICKFOLDERS), L"set up the folder picker");
  const HRESULT shown = dialog->Show(owner_);
  if (shown == HRESULT_FROM_WIN32(ERROR_CANCELLED)) return std::nullopt;
  Check(shown, L"show the folder picker");
  ComRef<IShellItem> item;
  Check(dialog->GetResult(item.out()), L"read the chosen folder");
  TaskMemory path;
  Check(item->GetDisplayName(SIGDN_FILESYSPATH, &path.text), L"read the chosen folder's path");
  return std::wstring(path.text);
}
