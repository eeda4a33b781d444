#pragma once
// The main window on Windows: its controls, its timers, and the dispatch of clicks and
// ticks to the handlers with the default error report around each.
#include <windows.h>

#include <array>
#include <map>
#include <memory>
#include <string>

#include "app/control_model.h"
#include "app/session.h"
#include "ui/progress_bar_win32.h"
#include "ui/timer_win32.h"

class Form1Window : public Controls {
 public:
  // Creates the window, hidden, with every control in its initial state. Raises Error
  // when the window cannot be created.
  Form1Window(HINSTANCE instance, std::wstring title);
  Form1Window(const Form1Window&) = delete;
  Form1Window& operator=(const Form1Window&) = delete;
  ~Form1Window() override;

  HWND hwnd() const { return hwnd_; }
  // From here on clicks and ticks run the handlers against `form`.
  void Attach(Form1* form) { form_ = form; }
  // Runs one handler with the default error report around it.
  void Run(void (*handler)(Form1&));

  std::wstring Text(EditName edit) const override;
  void SetText(EditName edit, const std::wstring& text) override;
  bool Checked(CheckBoxName box) const override;
  void SetShown(EntryChoice control, bool shown) override;
  void SetStatusText(const std::wstring& text) override;
  ProgressBar& Progress() override { return *progress_; }
  Timer& TimerOf(TimerName timer) override;
  int OuterWidth() const override;
  int OuterHeight() const override;
  void MoveTo(ScreenPoint origin) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  void CreateControls();
  void OnCommand(int id, int code);
  void OnTimer(UINT_PTR id);
  HWND Control(int id) const;

  HINSTANCE instance_;
  std::wstring title_;
  HWND hwnd_ = nullptr;
  Form1* form_ = nullptr;
  HFONT window_font_ = nullptr;
  HFONT field_font_ = nullptr;
  std::map<int, HWND> controls_;
  std::map<TimerName, std::unique_ptr<TimerWin32>> timers_;
  std::unique_ptr<ProgressBarWin32> progress_;
};

// The second window: created with the first, never shown.
class Form2Window {
 public:
  Form2Window(HINSTANCE instance, HWND owner);
  Form2Window(const Form2Window&) = delete;
  Form2Window& operator=(const Form2Window&) = delete;
  ~Form2Window();

 private:
  HWND hwnd_ = nullptr;
};
