#include "ui/form1_window_win32.h"

#include <commctrl.h>
#include <windowsx.h>

#include <utility>

#include "base/error.h"
#include "ui/error_report_win32.h"
#include "base/system_message_win32.h"
#include "setup/run_folder.h"
#include "setup/stage_chain.h"
#include "ui/dpi_win32.h"
#include "ui/form1_controls.h"
#include "ui/form1_handlers.h"
#include "transfer/transfer_abandoned.h"

namespace {

constexpr DWORD kFormStyle = WS_OVERLAPPEDWINDOW;
constexpr UINT_PTR kFirstTimerId = 201;
constexpr UINT_PTR kEdit1SubclassId = 1;

}  // namespace

Form1Window::Form1Window(HINSTANCE instance, std::wstring title)
    : instance_(instance), title_(std::move(title)), banner_(instance, L"BANNER") {
  window_.reset(CreateForm(instance, kMainWindowClass, kMainWindowCaption, kFormStyle, kForm1ClientWidth,
                           kForm1ClientHeight, nullptr, L"the main window"));
  ::SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(controls_.WindowFont()), FALSE);
  // From here a failure destroys the window through window_, unbound first: the error
  // report's message loop can then never call into this half-made object.
  controls_.Create(instance, hwnd(), banner_);
  // Made at the designed size, then scaled as a whole to the DPI of the monitor it opened on.
  if (const int dpi = WindowDpi(hwnd()); dpi != 96) {
    controls_.SetDpi(dpi);
    const SIZE outer = OuterSizeForClient(ScaledLength(kForm1ClientWidth, dpi), ScaledLength(kForm1ClientHeight, dpi),
                                          kFormStyle, dpi);
    ::SetWindowPos(hwnd(), nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  controls_.Arrange(stacking_);
  taskbar_button_created_ = AllowTaskbarButtonCreated(hwnd());
  if (!::SetWindowSubclass(Control(control_id::Edit1), Edit1Proc, kEdit1SubclassId,
                           reinterpret_cast<DWORD_PTR>(this))) {
    throw Error(L"Cannot watch the clicks into the base folder field");
  }
  progress_ = std::make_unique<ProgressBarWin32>(Control(control_id::ProgressBar1),
                                                 [this](int position, int max) { taskbar_.BarMoved(position, max); });
  picker_ = std::make_unique<FolderPickerWin32>(hwnd());
  UINT_PTR id = kFirstTimerId;
  for (TimerName timer : kAllTimers) {
    timers_[timer] = std::make_unique<TimerWin32>(hwnd(), id++, IntervalOf(timer), [this] { TimerChanged(); });
  }
}

// The members' order does it: the timers and the bar go while the window still exists,
// the window before the fonts and the banner it uses, and GDI+ last.
Form1Window::~Form1Window() = default;

void Form1Window::Run(void (*handler)(Form1&)) {
  if (!form_) return;
  bool failed = false;
  const bool done = RunHandler(
      hwnd(), title_,
      [this, handler, &failed] {
        try {
          handler(*form_);
        } catch (const TransferAbandoned&) {
          throw;  // ended without a report
        } catch (...) {
          // The report opens once this rethrow reaches RunHandler.
          failed = true;
          taskbar_.SetErrorShown(true);
          throw;
        }
      },
      form_->log);
  if (failed) taskbar_.SetErrorShown(false);
  // A scenario that failed leaves nothing behind in the run folder.
  if (!done) LeaveRunFolder(*form_);
}

// Every chain timer waits for the setup program or for the platform.
void Form1Window::TimerChanged() {
  bool waiting = false;
  for (const auto& [name, timer] : timers_) waiting = waiting || (timer && timer->Enabled());
  taskbar_.SetWaiting(waiting);
}

LRESULT Form1Window::HandleMessage(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
  // The messages of CreateWindowExW itself come before the window is ours to use.
  if (!window_) return ::DefWindowProcW(window, msg, wp, lp);
  if (msg == taskbar_button_created_ && msg != 0) {
    taskbar_.Attach(nullptr);
    taskbar_button_ = TaskbarButtonWin32::For(hwnd());
    taskbar_.Attach(taskbar_button_.get());
    return 0;
  }
  switch (msg) {
    case WM_COMMAND:
      OnCommand(LOWORD(wp), HIWORD(wp));
      return 0;
    case WM_TIMER:
      OnTimer(wp);
      return 0;
    case WM_SIZE:
      // A minimised window has no client area to stack in; restoring it sizes it again.
      if (wp != SIZE_MINIMIZED) controls_.Arrange(stacking_);
      return 0;
    case WM_ACTIVATE:
      OnActivate(LOWORD(wp) != WA_INACTIVE);
      return 0;
    case kDpiChangedMessage:
      OnDpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
  }
  return ::DefWindowProcW(window, msg, wp, lp);
}

void Form1Window::OnCommand(int id, int code) {
  if (code != BN_CLICKED) return;
  switch (id) {
    case control_id::Button1: Run(Button1Click); break;
    case control_id::Button2: Run(Button2Click); break;
    case control_id::Button4: Run(Button4Click); break;
    case control_id::Button3: Run(Button3Click); break;
    case control_id::Button5: Run(Button5Click); break;
    case control_id::Button6: Run(Button6Click); break;
    case control_id::Button7: Run(Button7Click); break;
    case control_id::Button8: Run(Button8Click); break;
    case control_id::Button9: Run(Button9Click); break;
    case control_id::CheckBox1: Run(CheckBox1Click); break;
    case control_id::CheckBox2: Run(CheckBox2Click); break;
  }
}

void Form1Window::OnTimer(UINT_PTR id) {
  for (auto& [name, timer] : timers_) {
    if (timer->Id() != id) continue;
    // KillTimer leaves a tick that is already queued; a stopped timer must not act on it.
    if (timer->Enabled()) Run(TickHandlerOf(name));
    return;
  }
}

// As a dialog does: the focus comes back to where it was, and the first time to the
// first tab stop, Button6.
void Form1Window::OnActivate(bool active) {
  if (!active) {
    HWND focus = ::GetFocus();
    if (focus && ::IsChild(hwnd(), focus)) focused_id_ = ::GetDlgCtrlID(focus);
    return;
  }
  HWND target = focused_id_ ? Control(focused_id_) : nullptr;
  if (!target || !::IsWindowVisible(target)) target = ::GetNextDlgTabItem(hwnd(), nullptr, FALSE);
  if (target) ::SetFocus(target);
}

// Edit1Click runs on every left-button click into Edit1, also one that only places the
// caret: once the button has come up inside the field, after the field has handled it,
// so that the picker never opens while the field holds the mouse.
LRESULT CALLBACK Form1Window::Edit1Proc(HWND edit, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<Form1Window*>(data);
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      self->edit1_pressed_ = true;
      break;
    case WM_LBUTTONUP: {
      const LRESULT result = ::DefSubclassProc(edit, msg, wp, lp);
      RECT client;
      ::GetClientRect(edit, &client);
      const POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      const bool click = std::exchange(self->edit1_pressed_, false) && ::PtInRect(&client, at);
      if (click && self->form_) {
        RunHandler(self->hwnd(), self->title_, [self] { Edit1Click(*self->form_, *self->picker_); },
                   self->form_->log);
      }
      return result;
    }
    case WM_NCDESTROY:
      ::RemoveWindowSubclass(edit, Edit1Proc, kEdit1SubclassId);
      break;
  }
  return ::DefSubclassProc(edit, msg, wp, lp);
}

std::wstring Form1Window::Text(EditName edit) const { return WindowText(Control(ControlIdOf(edit))); }

void Form1Window::SetText(EditName edit, const std::wstring& text) {
  ::SetWindowTextW(Control(ControlIdOf(edit)), text.c_str());
}

bool Form1Window::Checked(CheckBoxName box) const {
  const int id = box == CheckBoxName::CheckBox1 ? control_id::CheckBox1 : control_id::CheckBox2;
  return ::SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Form1Window::SetShown(EntryChoice control, bool shown) {
  HWND window = Control(ControlIdOf(control));
  stacking_.SetShown(control, shown);
  if (!shown) ::ShowWindow(window, SW_HIDE);
  HoldControls();
  controls_.Arrange(stacking_);
  if (shown) ::ShowWindow(window, SW_SHOW);
}

int Form1Window::OuterHeightFor(int client_height) const {
  RECT client{}, outer{};
  ::GetClientRect(hwnd(), &client);
  ::GetWindowRect(hwnd(), &outer);
  return client_height + (outer.bottom - outer.top) - client.bottom;
}

void Form1Window::HoldControls() {
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  const int needed = stacking_.MinimumClientHeight(controls_.Dpi());
  // A minimised window has no client area to measure.
  if (::IsIconic(hwnd()) || client.bottom >= needed) return;
  ::SetWindowPos(hwnd(), nullptr, 0, 0, OuterWidth(), OuterHeightFor(needed),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form1Window::Resize(int outer_width, int outer_height) {
  const int lowest = OuterHeightFor(stacking_.MinimumClientHeight(controls_.Dpi()));
  ::SetWindowPos(hwnd(), nullptr, 0, 0, outer_width, outer_height > lowest ? outer_height : lowest,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Windows suggests the window's rectangle at the new DPI (the same logical size where the
// other monitor has room); it still has to fit that monitor's work area.
void Form1Window::OnDpiChanged(int dpi, const RECT& suggested) {
  controls_.SetDpi(dpi);
  const RECT work = WorkAreaAround(suggested);
  RECT target = suggested;
  if (target.bottom - target.top > work.bottom - work.top) {
    target.top = work.top;
    target.bottom = work.bottom;
  }
  if (target.right - target.left > work.right - work.left) {
    target.left = work.left;
    target.right = work.right;
  }
  ::SetWindowPos(hwnd(), nullptr, target.left, target.top, target.right - target.left, target.bottom - target.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  HoldControls();
  controls_.Arrange(stacking_);
  ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void Form1Window::SetStatusText(const std::wstring& text) {
  ::SendMessageW(Control(control_id::StatusBar1), SB_SETTEXTW, 255, reinterpret_cast<LPARAM>(text.c_str()));
}

Timer& Form1Window::TimerOf(TimerName timer) { return *timers_.at(timer); }

int Form1Window::OuterWidth() const {
  RECT r;
  ::GetWindowRect(hwnd(), &r);
  return r.right - r.left;
}

int Form1Window::OuterHeight() const {
  RECT r;
  ::GetWindowRect(hwnd(), &r);
  return r.bottom - r.top;
}

void Form1Window::MoveTo(ScreenPoint origin) {
  ::SetWindowPos(hwnd(), nullptr, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
