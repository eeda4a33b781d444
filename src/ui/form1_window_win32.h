#pragma once
// The main window on Windows: the window itself, its timers, and the dispatch of clicks,
// ticks, resizing and activation to the handlers with the default error report around
// each. Its controls are Form1Controls' (form1_geometry_win32.h).
#include <windows.h>

#include <map>
#include <memory>
#include <string>

#include "setup/controls.h"
#include "setup/session.h"
#include "ui/field_refusal.h"
#include "ui/folder_picker_win32.h"
#include "ui/form1_geometry_win32.h"
#include "ui/form1_layout.h"
#include "ui/picture_win32.h"
#include "ui/progress_bar_win32.h"
#include "ui/taskbar_progress.h"
#include "ui/taskbar_win32.h"
#include "ui/timer_win32.h"
#include "ui/window_base_win32.h"
#include "ui/window_handles_win32.h"

class Form1Window : public Controls, private WindowBase {
 public:
  // Creates the window, hidden, with every control in its initial state. Raises Error
  // when the window, a control, a font or the banner cannot be made; nothing of the
  // window is left then, and no message reaches this object.
  Form1Window(HINSTANCE instance, std::wstring title);
  Form1Window(const Form1Window&) = delete;
  Form1Window& operator=(const Form1Window&) = delete;
  ~Form1Window() override;

  HWND hwnd() const { return window_.get(); }
  // From here on clicks and ticks run the handlers against `form`.
  void Attach(Form1* form) { form_ = form; }
  // Runs one handler with the default error report around it.
  void Run(void (*handler)(Form1&));

  std::wstring Text(EditName edit) const override;
  void SetText(EditName edit, const std::wstring& text) override;
  bool Checked(CheckBoxName box) const override;
  std::wstring RefusalMessage(const FieldRefusal& refusal) const override { return FieldRefusalMessage(refusal); }
  // Restacks at once, so that a panel shown takes its place before it appears.
  void SetShown(EntryChoice control, bool shown) override;
  void SetStatusText(const std::wstring& text) override;
  ProgressBar& Progress() override { return *progress_; }
  Timer& TimerOf(TimerName timer) override;
  int OuterWidth() const override;
  int OuterHeight() const override;
  void MoveTo(ScreenPoint origin) override;
  void Resize(int outer_width, int outer_height) override;

 private:
  static LRESULT CALLBACK Edit1Proc(HWND edit, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self);
  LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override;
  void OnUnbound(HWND) override { window_.release(); }  // closed by the user: the system frees it
  std::wstring ReportTitle(HWND) const override { return title_; }
  Log* RunLogOf() override { return form_ ? &form_->log : nullptr; }
  void OnCommand(int id, int code);
  void OnTimer(UINT_PTR id);
  void OnActivate(bool active);
  void OnDpiChanged(int dpi, const RECT& suggested);
  // The outer height of a window whose client area is `client_height` high.
  int OuterHeightFor(int client_height) const;
  // Grows the window, its top kept, to the smallest height that holds its shown controls
  // when it is lower.
  void HoldControls();
  void TimerChanged();
  HWND Control(int id) const { return controls_.Get(id); }

  HINSTANCE instance_;
  std::wstring title_;
  Form1* form_ = nullptr;
  // In this order, so that each goes only after everything that uses it has gone.
  GdiplusSession gdiplus_;
  PngPicture banner_;
  Form1Controls controls_;
  UniqueTopLevelWindow window_;
  std::map<TimerName, std::unique_ptr<TimerWin32>> timers_;
  std::unique_ptr<ProgressBarWin32> progress_;
  Form1Stacking stacking_;
  std::unique_ptr<FolderPickerWin32> picker_;
  TaskbarProgress taskbar_;
  std::unique_ptr<TaskbarButtonWin32> taskbar_button_;  // once the taskbar has made the button
  UINT taskbar_button_created_ = 0;
  bool edit1_pressed_ = false;  // a left button went down in Edit1 and has not come up
  int focused_id_ = 0;          // the control that had the focus when the window went inactive
};
