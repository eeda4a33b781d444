#pragma once
// Finding, reading and clicking another process's windows, the way a user would see them.
// Works across processes in the same prefix: texts, check states and clicks are
// marshalled by the system; the status bar's text is read through the target's memory.
#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace harness {

std::wstring ClassNameOf(HWND window);
std::wstring TextOf(HWND window);  // WM_GETTEXT
DWORD ProcessOf(HWND window);

// Top-level windows of process `pid`, hidden ones included, in Z order.
std::vector<HWND> TopLevelWindowsOf(DWORD pid);
// The top-level window of `pid` with this class (and caption, when given); null if none.
HWND FindTopLevelWindow(DWORD pid, const std::wstring& class_name, const std::wstring* caption = nullptr);

// The utility's main window (class TForm1, its caption) belonging to `pid`. A message box
// with the same caption (class #32770) is never taken for it.
HWND FindMainWindow(DWORD pid);
HWND WaitForMainWindow(DWORD pid, std::chrono::milliseconds timeout);

// The descendant of `parent` with this control id, searched at every depth (the edits
// sit on panels); null if none.
HWND FindControl(HWND parent, int id);
// The same on the main window of `pid`; raises std::runtime_error when either is missing.
HWND Control(DWORD pid, int id);

bool IsChecked(HWND check_box);   // BM_GETCHECK
bool IsShown(HWND window);        // IsWindowVisible: its own and its parents' WS_VISIBLE
bool IsEnabled(HWND window);
// Posts BM_CLICK: returns at once, so a handler that opens a modal box cannot block the test.
void Click(HWND button);
// Sends WM_SETTEXT, as typing would leave the text (no per-key messages).
void SetText(HWND window, const std::wstring& text);
// Posts WM_CLOSE.
void PostClose(HWND window);
bool WaitForWindowGone(HWND window, std::chrono::milliseconds timeout);

// The simple-mode text of a status bar in another process (SB_GETTEXTW part 0 into a
// buffer allocated in that process).
std::wstring StatusText(HWND status_bar);
int ProgressPosition(HWND progress_bar);
std::pair<int, int> ProgressRange(HWND progress_bar);  // low, high

// A modal message box (class #32770 with the message in static id 65535).
struct MessageBoxView {
  HWND window = nullptr;
  std::wstring caption;
  std::wstring text;
};
// A visible message box of `pid`, or nothing.
std::optional<MessageBoxView> FindMessageBox(DWORD pid);
std::optional<MessageBoxView> WaitForMessageBox(DWORD pid, std::chrono::milliseconds timeout);
// Presses its OK button (id 1) and waits until it has gone; false if it stayed.
bool ClickOk(const MessageBoxView& box, std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));

// Any visible dialog (#32770) of `pid` with this caption, such as "Select Folder".
HWND WaitForDialog(DWORD pid, const std::wstring& caption, std::chrono::milliseconds timeout);

}  // namespace harness
