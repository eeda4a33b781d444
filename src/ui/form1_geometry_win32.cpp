#include "ui/form1_geometry_win32.h"

#include <commctrl.h>

#include <string>
#include <utility>

#include "base/error.h"
#include "base/system_message_win32.h"
#include "ui/form1_controls.h"
#include "ui/dpi_win32.h"
#include "ui/form1_layout.h"
#include "ui/panel_win32.h"

namespace {

enum class FontRole { Window, Field, Status };

struct ClassAndStyle {
  const wchar_t* window_class;
  DWORD style;
  DWORD ex_style;
};

FontRole RoleOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::CheckBox:
    case ControlKind::Edit:
    case ControlKind::PasswordEdit:
    case ControlKind::Label: return FontRole::Field;
    case ControlKind::StatusBar: return FontRole::Status;
    default: return FontRole::Window;
  }
}

ClassAndStyle Describe(ControlKind kind, HINSTANCE instance) {
  constexpr DWORD kEdit = WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL;
  switch (kind) {
    case ControlKind::Picture:
    case ControlKind::Banner: return {PictureControl::ClassName(instance), 0, 0};
    // Only the three scenario buttons show; the stage buttons are never tab stops.
    case ControlKind::Button: return {L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0};
    case ControlKind::CheckBox: return {L"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX, 0};
    case ControlKind::Edit: return {L"EDIT", kEdit, 0};
    // Masked like every password field; the text the command lines read is unchanged.
    case ControlKind::PasswordEdit: return {L"EDIT", kEdit | ES_PASSWORD, 0};
    case ControlKind::Label: return {L"STATIC", SS_LEFT | SS_NOPREFIX, 0};
    // A control parent: Tab and the arrow keys walk into its edits as if they were the form's.
    case ControlKind::Panel: return {PanelWindow::ClassName(instance), WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
    // Placed by the stacking, not by the control itself; no size grip.
    case ControlKind::StatusBar: return {STATUSCLASSNAMEW, CCS_NOPARENTALIGN | CCS_NORESIZE, 0};
    case ControlKind::ProgressBar: return {PROGRESS_CLASSW, 0, 0};
  }
  return {L"STATIC", 0, 0};
}

HFONT FontOf(FontRole role, HFONT window, HFONT field, HFONT status) {
  return role == FontRole::Field ? field : role == FontRole::Status ? status : window;
}

}  // namespace

Form1Controls::Form1Controls()
    : window_font_(MakeTahoma(11)), field_font_(MakeTahoma(16)), status_font_(MakeStatusFont(96)) {}

void Form1Controls::SetDpi(int dpi) {
  // The fonts' heights are lengths of the design like any other.
  UniqueFont window_font = MakeTahoma(ScaledLength(11, dpi));
  UniqueFont field_font = MakeTahoma(ScaledLength(16, dpi));
  UniqueFont status_font = MakeStatusFont(dpi);
  dpi_ = dpi;
  ::SendMessageW(form_, WM_SETFONT, reinterpret_cast<WPARAM>(window_font.get()), FALSE);
  for (const ControlSpec& spec : MainWindowControls()) {
    HFONT font = FontOf(RoleOf(spec.kind), window_font.get(), field_font.get(), status_font.get());
    ::SendMessageW(Get(spec.id), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  // The controls hold the new fonts now: the old ones can go.
  window_font_ = std::move(window_font);
  field_font_ = std::move(field_font);
  status_font_ = std::move(status_font);
  if (banner_view_) banner_view_->SetDpi(dpi);
}

void Form1Controls::Create(HINSTANCE instance, HWND form, const PngPicture& banner) {
  form_ = form;
  banner_view_ = std::make_unique<PictureControl>(&banner);
  for (const ControlSpec& spec : MainWindowControls()) {
    const ClassAndStyle how = Describe(spec.kind, instance);
    void* create_param = spec.kind == ControlKind::Banner    ? banner_view_->CreateParam()
                         : spec.kind == ControlKind::Picture ? empty_view_.CreateParam()
                         : spec.kind == ControlKind::Panel   ? PanelWindow::Shared().CreateParam()
                                                             : nullptr;
    HWND parent = spec.parent_id ? Get(spec.parent_id) : form;
    HWND control = ::CreateWindowExW(how.ex_style, how.window_class, spec.caption,
                                     WS_CHILD | (spec.shown ? WS_VISIBLE : 0) | how.style, 0, 0, 0, 0, parent,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)), instance,
                                     create_param);
    if (!control) {
      const DWORD code = ::GetLastError();
      throw Error(L"Cannot create the window's control " + std::to_wstring(spec.id) + L". " + SystemMessage(code));
    }
    HFONT font = FontOf(RoleOf(spec.kind), window_font_.get(), field_font_.get(), status_font_.get());
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
  for (const Placement& place : stacking.Place(client.right, client.bottom, dpi_)) {
    const ControlRect& r = place.rect;
    // Redrawn whole where it lands: Wine's copy of a moved panel's old pixels left parts
    // of its edits unpainted when the panel below had just been hidden.
    ::SetWindowPos(Get(place.id), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOCOPYBITS);
  }
}
