#include "ui/form1_window_win32.h"

#include <commctrl.h>

#include "app/error.h"
#include "app/error_report_win32.h"
#include "platform/platform_runs.h"
#include "app/system_message_win32.h"
#include "platform/startup_guard.h"
#include "setup/configuration_download.h"
#include "setup/scenarios.h"
#include "setup/stage_timers.h"
#include "ui/control_ids.h"
#include "ui/panel_win32.h"

namespace {

constexpr int kClientWidth = 454;
constexpr int kClientHeight = 672;
constexpr DWORD kFormStyle = WS_OVERLAPPEDWINDOW;
constexpr UINT_PTR kFirstTimerId = 201;

int EditId(EditName edit) {
  switch (edit) {
    case EditName::Edit1: return control_id::Edit1;
    case EditName::Edit2: return control_id::Edit2;
    case EditName::Edit3: return control_id::Edit3;
    case EditName::Edit4: return control_id::Edit4;
    case EditName::Edit5: return control_id::Edit5;
  }
  return 0;
}

int EntryChoiceId(EntryChoice control) {
  switch (control) {
    case EntryChoice::Panel1: return control_id::Panel1;
    case EntryChoice::Panel2: return control_id::Panel2;
    case EntryChoice::Panel3: return control_id::Panel3;
    case EntryChoice::CheckBox1: return control_id::CheckBox1;
    case EntryChoice::CheckBox2: return control_id::CheckBox2;
    case EntryChoice::Button6: return control_id::Button6;
    case EntryChoice::Button7: return control_id::Button7;
    case EntryChoice::Button9: return control_id::Button9;
  }
  return 0;
}

HFONT MakeFont(int pixel_height) {
  return ::CreateFontW(-pixel_height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, L"Tahoma");
}

std::wstring WindowText(HWND hwnd) {
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

struct ControlSpec {
  const wchar_t* window_class;
  const wchar_t* text;
  DWORD style;
  int x, y, width, height;
  int id;
  int parent_id;  // 0: the form itself
  bool field_font;
};

// Creation order and places at the designed client size; hidden stage buttons lie
// beyond the right edge and are never shown.
const ControlSpec kControls[] = {
    {L"STATIC", L"", WS_VISIBLE, 0, 0, 454, 201, control_id::Image1, 0, false},
    {L"STATIC", L"", WS_VISIBLE, 0, 482, 454, 21, control_id::Image2, 0, false},
    {L"BUTTON", L"Создать базу данных Kalvera 1C", BS_PUSHBUTTON, 1000, 97, 337, 25, control_id::Button2, 0, false},
    {L"BUTTON", L"Скачать конфигурацию базы Kalvera 1C", BS_PUSHBUTTON, 1000, 66, 337, 25, control_id::Button3, 0, false},
    {L"BUTTON", L"Обновить конфигурацию базы Kalvera 1C", BS_PUSHBUTTON, 1000, 190, 337, 25, control_id::Button4, 0, false},
    {L"BUTTON", L"Применить обновления конфигурации", BS_PUSHBUTTON, 1000, 159, 337, 25, control_id::Button5, 0, false},
    {L"BUTTON", L"Полная установка (+1с учебная версия)", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 503, 454, 41, control_id::Button6, 0, false},
    {PROGRESS_CLASSW, L"", WS_VISIBLE, 0, 645, 454, 27, control_id::ProgressBar1, 0, false},
    {L"BUTTON", L"Запустить 1С в режиме предприятия", BS_PUSHBUTTON, 1000, 35, 337, 25, control_id::Button1, 0, false},
    {STATUSCLASSNAMEW, L"", WS_VISIBLE | CCS_NOPARENTALIGN | CCS_NORESIZE, 0, 626, 454, 19, control_id::StatusBar1, 0, false},
    {L"BUTTON", L"Создать и установить базу Kalvera 1C", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 544, 454, 41, control_id::Button7, 0, false},
    {L"BUTTON", L"Найти запущенные 1С", BS_PUSHBUTTON, 1000, 128, 249, 25, control_id::Button8, 0, false},
    {L"BUTTON", L"Обновить базу Kalvera 1С", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 585, 454, 41, control_id::Button9, 0, false},
    {L"BUTTON", L"В базе есть пользователь с правами на конфигуратор", WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 201, 454, 35, control_id::CheckBox1, 0, true},
    {nullptr, L"", 0, 0, 299, 454, 114, control_id::Panel1, 0, false},
    {L"STATIC", L"Имя пользователя", WS_VISIBLE, 1, 21, 452, 19, control_id::Label2, control_id::Panel1, true},
    {L"EDIT", L"", WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 1, 40, 452, 27, control_id::Edit2, control_id::Panel1, true},
    {L"STATIC", L"Пароль пользователя", WS_VISIBLE, 1, 67, 452, 19, control_id::Label3, control_id::Panel1, true},
    {L"EDIT", L"", WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 1, 86, 452, 27, control_id::Edit3, control_id::Panel1, true},
    {L"BUTTON", L"Серверная база данных", WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 236, 454, 17, control_id::CheckBox2, 0, true},
    {nullptr, L"", 0, 0, 371, 454, 111, control_id::Panel2, 0, false},
    {L"STATIC", L"Сервер БД (Srvr)", WS_VISIBLE, 1, 18, 452, 19, control_id::Label4, control_id::Panel2, true},
    {L"EDIT", L"", WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 1, 37, 452, 27, control_id::Edit4, control_id::Panel2, true},
    {L"STATIC", L"База (ref)", WS_VISIBLE, 1, 64, 452, 19, control_id::Label5, control_id::Panel2, true},
    {L"EDIT", L"", WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 1, 83, 452, 27, control_id::Edit5, control_id::Panel2, true},
    {nullptr, L"", WS_VISIBLE, 0, 413, 454, 69, control_id::Panel3, 0, false},
    {L"STATIC", L"Путь к базе Kalvera 1C", WS_VISIBLE, 1, 22, 452, 19, control_id::Label1, control_id::Panel3, true},
    {L"EDIT", L"", WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 1, 41, 452, 27, control_id::Edit1, control_id::Panel3, true},
};

}  // namespace

Form1Window::Form1Window(HINSTANCE instance, std::wstring title)
    : instance_(instance), title_(std::move(title)) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hIcon = ::LoadIconW(instance, L"MAINICON");
  wc.hIconSm = wc.hIcon;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kMainWindowClass;
  if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    throw Error(L"Cannot register the main window class. " + SystemMessage(::GetLastError()));
  }
  RECT frame{0, 0, kClientWidth, kClientHeight};
  ::AdjustWindowRectEx(&frame, kFormStyle, FALSE, 0);
  hwnd_ = ::CreateWindowExW(0, kMainWindowClass, kMainWindowCaption, kFormStyle, CW_USEDEFAULT,
                            CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                            nullptr, nullptr, instance, this);
  if (!hwnd_) throw Error(L"Cannot create the main window. " + SystemMessage(::GetLastError()));
  window_font_ = MakeFont(11);
  field_font_ = MakeFont(16);
  ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(window_font_), FALSE);
  CreateControls();
}

Form1Window::~Form1Window() {
  timers_.clear();  // kill the timers while the window still exists
  if (hwnd_) ::DestroyWindow(hwnd_);
  if (window_font_) ::DeleteObject(window_font_);
  if (field_font_) ::DeleteObject(field_font_);
}

void Form1Window::CreateControls() {
  const wchar_t* panel_class = PanelClassName(instance_);
  for (const ControlSpec& item : kControls) {
    HWND parent = item.parent_id ? Control(item.parent_id) : hwnd_;
    HWND control = ::CreateWindowExW(
        0, item.window_class ? item.window_class : panel_class, item.text,
        WS_CHILD | item.style | (item.window_class ? 0 : WS_CLIPCHILDREN), item.x, item.y,
        item.width, item.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(item.id)),
        instance_, nullptr);
    if (!control) throw Error(L"Cannot create the window's controls. " + SystemMessage(::GetLastError()));
    ::SendMessageW(control, WM_SETFONT,
                   reinterpret_cast<WPARAM>(item.field_font ? field_font_ : window_font_), FALSE);
    controls_[item.id] = control;
  }
  HWND status = Control(control_id::StatusBar1);
  ::SendMessageW(status, SB_SIMPLE, TRUE, 0);
  ::SendMessageW(status, SB_SETTEXTW, 255, reinterpret_cast<LPARAM>(L""));
  HWND bar = Control(control_id::ProgressBar1);
  ::SendMessageW(bar, PBM_SETRANGE32, 0, 100);
  ::SendMessageW(bar, PBM_SETPOS, 0, 0);
  progress_ = std::make_unique<ProgressBarWin32>(bar);
  UINT_PTR id = kFirstTimerId;
  for (TimerName timer : kAllTimers) {
    timers_[timer] = std::make_unique<TimerWin32>(hwnd_, id++, IntervalOf(timer));
  }
}

HWND Form1Window::Control(int id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

void Form1Window::Run(void (*handler)(Form1&)) {
  if (!form_) return;
  RunHandler(hwnd_, title_, [this, handler] { handler(*form_); });
}

LRESULT CALLBACK Form1Window::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lp);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<Form1Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self || !self->hwnd_) return ::DefWindowProcW(hwnd, msg, wp, lp);
  return self->HandleMessage(msg, wp, lp);
}

LRESULT Form1Window::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      OnCommand(LOWORD(wp), HIWORD(wp));
      return 0;
    case WM_TIMER:
      OnTimer(wp);
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      return 0;
  }
  return ::DefWindowProcW(hwnd_, msg, wp, lp);
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

std::wstring Form1Window::Text(EditName edit) const { return WindowText(Control(EditId(edit))); }

void Form1Window::SetText(EditName edit, const std::wstring& text) {
  ::SetWindowTextW(Control(EditId(edit)), text.c_str());
}

bool Form1Window::Checked(CheckBoxName box) const {
  const int id = box == CheckBoxName::CheckBox1 ? control_id::CheckBox1 : control_id::CheckBox2;
  return ::SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Form1Window::SetShown(EntryChoice control, bool shown) {
  ::ShowWindow(Control(EntryChoiceId(control)), shown ? SW_SHOW : SW_HIDE);
}

void Form1Window::SetStatusText(const std::wstring& text) {
  ::SendMessageW(Control(control_id::StatusBar1), SB_SETTEXTW, 255, reinterpret_cast<LPARAM>(text.c_str()));
}

Timer& Form1Window::TimerOf(TimerName timer) { return *timers_.at(timer); }

int Form1Window::OuterWidth() const {
  RECT r;
  ::GetWindowRect(hwnd_, &r);
  return r.right - r.left;
}

int Form1Window::OuterHeight() const {
  RECT r;
  ::GetWindowRect(hwnd_, &r);
  return r.bottom - r.top;
}

void Form1Window::MoveTo(ScreenPoint origin) {
  ::SetWindowPos(hwnd_, nullptr, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {

constexpr wchar_t kForm2Class[] = L"TForm2";

}  // namespace

Form2Window::Form2Window(HINSTANCE instance, HWND owner) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = ::DefWindowProcW;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kForm2Class;
  ::RegisterClassExW(&wc);
  RECT frame{0, 0, 366, 442};
  ::AdjustWindowRectEx(&frame, kFormStyle, FALSE, 0);
  // Owned by the main window, so it never gets a taskbar button of its own.
  hwnd_ = ::CreateWindowExW(0, kForm2Class, kMainWindowCaption, kFormStyle, CW_USEDEFAULT,
                            CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                            owner, nullptr, instance, nullptr);
  if (!hwnd_) throw Error(L"Cannot create the second window. " + SystemMessage(::GetLastError()));
  ::CreateWindowExW(0, L"STATIC", L"Label1", WS_CHILD | WS_VISIBLE, 40, 40, 40, 13, hwnd_, nullptr,
                    instance, nullptr);
}

Form2Window::~Form2Window() {
  if (hwnd_ && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
}
