#include "ui/taskbar_win32.h"

#include <objbase.h>

std::unique_ptr<TaskbarButtonWin32> TaskbarButtonWin32::For(HWND window) {
  ITaskbarList3* list = nullptr;
  if (FAILED(::CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                reinterpret_cast<void**>(&list)))) {
    return nullptr;
  }
  if (FAILED(list->HrInit())) {
    list->Release();
    return nullptr;
  }
  return std::unique_ptr<TaskbarButtonWin32>(new TaskbarButtonWin32(window, list));
}

TaskbarButtonWin32::~TaskbarButtonWin32() { list_->Release(); }

void TaskbarButtonWin32::ShowState(TaskbarState state) {
  TBPFLAG flag = TBPF_NOPROGRESS;
  switch (state) {
    case TaskbarState::None: flag = TBPF_NOPROGRESS; break;
    case TaskbarState::Indeterminate: flag = TBPF_INDETERMINATE; break;
    case TaskbarState::Normal: flag = TBPF_NORMAL; break;
    case TaskbarState::Error: flag = TBPF_ERROR; break;
  }
  list_->SetProgressState(window_, flag);
}

void TaskbarButtonWin32::ShowValue(int position, int max) {
  if (max <= 0) return;
  list_->SetProgressValue(window_, static_cast<ULONGLONG>(position < 0 ? 0 : position), static_cast<ULONGLONG>(max));
}

UINT AllowTaskbarButtonCreated(HWND window) {
  const UINT message = ::RegisterWindowMessageW(L"TaskbarButtonCreated");
  // Windows 7 has the function; an unelevated run needs none of it, and a refusal only
  // leaves the button without progress.
  if (message) ::ChangeWindowMessageFilterEx(window, message, MSGFLT_ALLOW, nullptr);
  return message;
}
