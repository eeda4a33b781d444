#include "window_driver.h"

#include <commctrl.h>

#include <stdexcept>

#include "base/unique_handle_win32.h"
#include "polling.h"
#include "base/control_ids.h"

namespace harness {

namespace {

constexpr wchar_t kDialogClass[] = L"#32770";
constexpr int kMessageTextId = 0xFFFF;  // the static that holds a message box's text
constexpr DWORD kSendTimeoutMs = 5000;

struct ControlSearch {
  int id;
  HWND found;
};

BOOL CALLBACK MatchControl(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<ControlSearch*>(context);
  if (::GetDlgCtrlID(window) != search->id) return TRUE;
  search->found = window;
  return FALSE;
}

struct TopLevelSearch {
  DWORD pid;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<TopLevelSearch*>(context);
  if (ProcessOf(window) == search->pid) search->found.push_back(window);
  return TRUE;
}

// Memory inside another process, released on every path.
class RemoteBuffer {
 public:
  RemoteBuffer(HANDLE process, size_t size)
      : process_(process), address_(::VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {}
  ~RemoteBuffer() {
    if (address_) ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;
  void* address() const { return address_; }

 private:
  HANDLE process_;
  void* address_;
};

}  // namespace

std::wstring ClassNameOf(HWND window) {
  wchar_t name[256] = {};
  const int length = ::GetClassNameW(window, name, 256);
  return std::wstring(name, length > 0 ? length : 0);
}

std::wstring TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &length)) {
    return std::wstring();
  }
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!::SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied)) {
    return std::wstring();
  }
  text.resize(copied);
  return text;
}

DWORD ProcessOf(HWND window) {
  DWORD pid = 0;
  ::GetWindowThreadProcessId(window, &pid);
  return pid;
}

std::vector<HWND> TopLevelWindowsOf(DWORD pid) {
  TopLevelSearch search{pid, {}};
  ::EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindTopLevelWindow(DWORD pid, const std::wstring& class_name, const std::wstring* caption) {
  for (HWND window : TopLevelWindowsOf(pid)) {
    if (ClassNameOf(window) != class_name) continue;
    if (caption && TextOf(window) != *caption) continue;
    return window;
  }
  return nullptr;
}

HWND FindMainWindow(DWORD pid) {
  const std::wstring caption = kMainWindowCaption;
  return FindTopLevelWindow(pid, kMainWindowClass, &caption);
}

HWND WaitForMainWindow(DWORD pid, std::chrono::milliseconds timeout) {
  return PollFor([&] { return FindMainWindow(pid); }, timeout);
}

HWND FindControl(HWND parent, int id) {
  // EnumChildWindows walks every depth, so controls on panels are found too.
  ControlSearch search{id, nullptr};
  ::EnumChildWindows(parent, MatchControl, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND Control(DWORD pid, int id) {
  HWND main = FindMainWindow(pid);
  if (!main) throw std::runtime_error("the main window of process " + std::to_string(pid) + " is not there");
  HWND control = FindControl(main, id);
  if (!control) throw std::runtime_error("the main window has no control with id " + std::to_string(id));
  return control;
}

bool IsChecked(HWND check_box) {
  DWORD_PTR state = 0;
  ::SendMessageTimeoutW(check_box, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &state);
  return state == BST_CHECKED;
}

bool IsShown(HWND window) { return ::IsWindowVisible(window) != FALSE; }
bool IsEnabled(HWND window) { return ::IsWindowEnabled(window) != FALSE; }

void Click(HWND button) { ::PostMessageW(button, BM_CLICK, 0, 0); }

void SetText(HWND window, const std::wstring& text) {
  DWORD_PTR result = 0;
  ::SendMessageTimeoutW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                        kSendTimeoutMs, &result);
}

void PostClose(HWND window) { ::PostMessageW(window, WM_CLOSE, 0, 0); }

bool WaitForWindowGone(HWND window, std::chrono::milliseconds timeout) {
  return WaitUntil([&] { return !::IsWindow(window); }, timeout);
}

std::wstring StatusText(HWND status_bar) {
  // SB_GETTEXTW is not marshalled: the buffer must live in the status bar's process.
  // Part 0 is asked for, since Wine answers the simple-mode index 255 with nothing.
  UniqueProcess process(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                                      ProcessOf(status_bar)));
  if (!process) return std::wstring();
  DWORD_PTR length_result = 0;
  if (!::SendMessageTimeoutW(status_bar, SB_GETTEXTLENGTHW, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &length_result)) {
    return std::wstring();
  }
  const size_t length = LOWORD(length_result);
  RemoteBuffer remote(process.get(), (length + 1) * sizeof(wchar_t));
  if (!remote.address()) return std::wstring();
  DWORD_PTR result = 0;
  if (!::SendMessageTimeoutW(status_bar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(remote.address()),
                             SMTO_ABORTIFHUNG, kSendTimeoutMs, &result)) {
    return std::wstring();
  }
  std::wstring text(length + 1, L'\0');
  SIZE_T read = 0;
  if (!::ReadProcessMemory(process.get(), remote.address(), text.data(), text.size() * sizeof(wchar_t), &read)) {
    return std::wstring();
  }
  text.resize(::wcsnlen(text.c_str(), length));
  return text;
}

int ProgressPosition(HWND progress_bar) {
  DWORD_PTR position = 0;
  ::SendMessageTimeoutW(progress_bar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &position);
  return static_cast<int>(position);
}

std::pair<int, int> ProgressRange(HWND progress_bar) {
  // With no PBRANGE pointer (which would not cross processes) the answer is one limit.
  DWORD_PTR low = 0, high = 0;
  ::SendMessageTimeoutW(progress_bar, PBM_GETRANGE, TRUE, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &low);
  ::SendMessageTimeoutW(progress_bar, PBM_GETRANGE, FALSE, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &high);
  return {static_cast<int>(low), static_cast<int>(high)};
}

std::optional<MessageBoxView> FindMessageBox(DWORD pid) {
  for (HWND window : TopLevelWindowsOf(pid)) {
    if (ClassNameOf(window) != kDialogClass || !IsShown(window)) continue;
    HWND text = ::GetDlgItem(window, kMessageTextId);
    if (!text) continue;
    return MessageBoxView{window, TextOf(window), TextOf(text)};
  }
  return std::nullopt;
}

std::optional<MessageBoxView> WaitForMessageBox(DWORD pid, std::chrono::milliseconds timeout) {
  return PollFor([&] { return FindMessageBox(pid); }, timeout);
}

bool ClickOk(const MessageBoxView& box, std::chrono::milliseconds timeout) {
  HWND ok = ::GetDlgItem(box.window, IDOK);
  if (!ok) return false;
  Click(ok);
  return WaitForWindowGone(box.window, timeout);
}

HWND WaitForDialog(DWORD pid, const std::wstring& caption, std::chrono::milliseconds timeout) {
  return PollFor(
      [&]() -> HWND {
        HWND dialog = FindTopLevelWindow(pid, kDialogClass, &caption);
        return dialog && IsShown(dialog) ? dialog : nullptr;
      },
      timeout);
}

}  // namespace harness
