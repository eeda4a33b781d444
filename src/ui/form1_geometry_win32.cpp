#include "ui/form1_geometry_win32.h"

#include <commctrl.h>

#include <string>

#include "app/error.h"
#include "app/system_message_win32.h"
#include "ui/control_ids.h"
#include "ui/panel_win32.h"

namespace {

enum class Kind { Picture, Banner, Button, CheckBox, Edit, PasswordEdit, Label, Panel, StatusBar, ProgressBar };
enum class FontRole { Window, Field, Status };

struct ControlSpec {
  int id;
  int parent_id;  // 0: the form itself
  Kind kind;
  const wchar_t* caption;
  bool shown;
};

// In the designed creation order: Tab takes the visible tab stops in this order, so the
// scenario buttons come first, then each check box followed by its panel's edits.
constexpr ControlSpec kControls[] = {
    {control_id::Image1, 0, Kind::Banner, L"", true},
    {control_id::Image2, 0, Kind::Picture, L"", true},
    {control_id::Button2, 0, Kind::Button, L"Создать базу данных Kalvera 1C", false},
    {control_id::Button3, 0, Kind::Button, L"Скачать конфигурацию базы Kalvera 1C", false},
    {control_id::Button4, 0, Kind::Button, L"Обновить конфигурацию базы Kalvera 1C", false},
    {control_id::Button5, 0, Kind::Button, L"Применить обновления конфигурации", false},
    {control_id::Button6, 0, Kind::Button, L"Полная установка (+1с учебная версия)", true},
    {control_id::ProgressBar1, 0, Kind::ProgressBar, L"", true},
    {control_id::Button1, 0, Kind::Button, L"Запустить 1С в режиме предприятия", false},
    {control_id::StatusBar1, 0, Kind::StatusBar, L"", true},
    {control_id::Button7, 0, Kind::Button, L"Создать и установить базу Kalvera 1C", true},
    {control_id::Button8, 0, Kind::Button, L"Найти запущенные 1С", false},
    {control_id::Button9, 0, Kind::Button, L"Обновить базу Kalvera 1С", true},
    {control_id::CheckBox1, 0, Kind::CheckBox, L"В базе есть пользователь с правами на конфигуратор", true},
    {control_id::Panel1, 0, Kind::Panel, L"", false},
    {control_id::Label2, control_id::Panel1, Kind::Label, L"Имя пользователя", true},
    {control_id::Edit2, control_id::Panel1, Kind::Edit, L"", true},
    {control_id::Label3, control_id::Panel1, Kind::Label, L"Пароль пользователя", true},
    {control_id::Edit3, control_id::Panel1, Kind::PasswordEdit, L"", true},
    {control_id::CheckBox2, 0, Kind::CheckBox, L"Серверная база данных", true},
    {control_id::Panel2, 0, Kind::Panel, L"", false},
    {control_id::Label4, control_id::Panel2, Kind::Label, L"Сервер БД (Srvr)", true},
    {control_id::Edit4, control_id::Panel2, Kind::Edit, L"", true},
    {control_id::Label5, control_id::Panel2, Kind::Label, L"База (ref)", true},
    {control_id::Edit5, control_id::Panel2, Kind::Edit, L"", true},
    {control_id::Panel3, 0, Kind::Panel, L"", true},
    {control_id::Label1, control_id::Panel3, Kind::Label, L"Путь к базе Kalvera 1C", true},
    {control_id::Edit1, control_id::Panel3, Kind::Edit, L"", true},
};

struct ClassAndStyle {
  const wchar_t* window_class;
  DWORD style;
  DWORD ex_style;
  FontRole font;
};

ClassAndStyle Describe(Kind kind, HINSTANCE instance) {
  constexpr DWORD kEdit = WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL;
  switch (kind) {
    case Kind::Picture:
    case Kind::Banner: return {PictureClassName(instance), 0, 0, FontRole::Window};
    // Only the three scenario buttons show; the stage buttons are never tab stops.
    case Kind::Button: return {L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0, FontRole::Window};
    case Kind::CheckBox: return {L"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX, 0, FontRole::Field};
    case Kind::Edit: return {L"EDIT", kEdit, 0, FontRole::Field};
    // Masked like every password field; the text the command lines read is unchanged.
    case Kind::PasswordEdit: return {L"EDIT", kEdit | ES_PASSWORD, 0, FontRole::Field};
    case Kind::Label: return {L"STATIC", SS_LEFT | SS_NOPREFIX, 0, FontRole::Field};
    // A control parent: Tab and the arrow keys walk into its edits as if they were the form's.
    case Kind::Panel: return {PanelClassName(instance), WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, FontRole::Window};
    // Placed by the stacking, not by the control itself; no size grip.
    case Kind::StatusBar: return {STATUSCLASSNAMEW, CCS_NOPARENTALIGN | CCS_NORESIZE, 0, FontRole::Status};
    case Kind::ProgressBar: return {PROGRESS_CLASSW, 0, 0, FontRole::Window};
  }
  return {L"STATIC", 0, 0, FontRole::Window};
}

}  // namespace

Form1Controls::Form1Controls()
    : window_font_(MakeTahoma(11)), field_font_(MakeTahoma(16)), status_font_(MakeStatusFont()) {}

void Form1Controls::Create(HINSTANCE instance, HWND form, const PngPicture& banner) {
  form_ = form;
  for (const ControlSpec& spec : kControls) {
    const ClassAndStyle how = Describe(spec.kind, instance);
    const void* create_param = spec.kind == Kind::Banner ? &banner : nullptr;
    HWND parent = spec.parent_id ? Get(spec.parent_id) : form;
    HWND control = ::CreateWindowExW(how.ex_style, how.window_class, spec.caption,
                                     WS_CHILD | (spec.shown ? WS_VISIBLE : 0) | how.style, 0, 0, 0, 0, parent,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)), instance,
                                     const_cast<void*>(create_param));
    if (!control) {
      const DWORD code = ::GetLastError();
      throw Error(L"Cannot create the window's control " + std::to_wstring(spec.id) + L". " + SystemMessage(code));
    }
    HFONT font = how.font == FontRole::Field    ? field_font_.get()
                 : how.font == FontRole::Status ? status_font_.get()
                                                : window_font_.get();
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    controls_[spec.id] = control;
  }
  HWND status = Get(control_id::StatusBar1);
  ::SendMessageW(status, SB_SIMPLE, TRUE, 0);
  ::SendMessageW(status, SB_SETTEXTW, 255, reinterpret_cast<LPARAM>(L""));
  HWND bar = Get(control_id::ProgressBar1);
  ::SendMessageW(bar, PBM_SETRANGE32, 0, 100);
  ::SendMessageW(bar, PBM_SETPOS, 0, 0);
}

HWND Form1Controls::Get(int id) const {
  const auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

void Form1Controls::Arrange(const Form1Stacking& stacking) const {
  RECT client{};
  ::GetClientRect(form_, &client);
  for (const Placement& place : stacking.Place(client.right, client.bottom)) {
    const ControlRect& r = place.rect;
    // Redrawn whole where it lands: Wine's copy of a moved panel's old pixels left parts
    // of its edits unpainted when the panel below had just been hidden.
    ::SetWindowPos(Get(place.id), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOCOPYBITS);
  }
}
