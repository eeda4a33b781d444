#include "ui/form1_window_win32.h"

#include <commctrl.h>
#include <windowsx.h>

#include <utility>

#include "base/error.h"
#include "ui/error_report_win32.h"
#include "base/system_message_win32.h"
#include "setup/run_folder.h"
#include "setup/stage_chain.h"
#include "base/form1_controls.h"
#include "ui/form1_handlers.h"

namespace {

constexpr DWORD kFormStyle = WS_OVERLAPPEDWINDOW;
constexpr UINT_PTR kFirstTimerId = 201;
constexpr UINT_PTR kEdit1SubclassId = 1;

std::wstring WindowText(HWND hwnd) {
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace

Form1Window::Form1Window(HINSTANCE instance, std::wstring title)
    : instance_(instance), title_(std::move(title)), banner_(instance, L"BANNER") {
  window_.reset(CreateForm(instance, kMainWindowClass, kMainWindowCaption, kFormStyle, kForm1ClientWidth,
                           kForm1ClientHeight, nullptr, L"the main window"));
  ::SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(controls_.WindowFont()), FALSE);
  // From here a failure destroys the window through window_, unbound first: the error
  // report's message loop can then never call into this half-made object.
  controls_.Create(instance, hwnd(), banner_);
  controls_.Arrange(stacking_);
  if (!::SetWindowSubclass(Control(control_id::Edit1), Edit1Proc, kEdit1SubclassId,
                           reinterpret_cast<DWORD_PTR>(this))) {
    throw Error(L"Cannot watch the clicks into the base folder field");
  }
  progress_ = std::make_unique<ProgressBarWin32>(Control(control_id::ProgressBar1));
  picker_ = std::make_unique<FolderPickerWin32>(hwnd());
  UINT_PTR id = kFirstTimerId;
  for (TimerName timer : kAllTimers) {
    timers_[timer] = std::make_unique<TimerWin32>(hwnd(), id++, IntervalOf(timer));
  }
}

// The members' order does it: the timers and the bar go while the window still exists,
// the window before the fonts and the banner it uses, and GDI+ last.
Form1Window::~Form1Window() = default;

void Form1Window::Run(void (*handler)(Form1&)) {
  if (!form_) return;
  // A scenario that failed leaves nothing behind in the run folder.
  if (!RunHandler(hwnd(), title_, [this, handler] { handler(*form_); }, form_->log)) LeaveRunFolder(*form_);
}

LRESULT Form1Window::HandleMessage(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
  // The messages of CreateWindowExW itself come before the window is ours to use.
  if (!window_) return ::DefWindowProcW(window, msg, wp, lp);
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
  controls_.Arrange(stacking_);
  if (shown) ::ShowWindow(window, SW_SHOW);
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
