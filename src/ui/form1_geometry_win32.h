#pragma once
// The main window's controls on Windows: each one's kind, parent, caption, style and
// font, created in the designed order, and moved to the places the stacking gives.
#include <windows.h>

#include <map>
#include <memory>

#include "ui/form1_layout.h"
#include "ui/picture_win32.h"
#include "ui/window_handles_win32.h"

class Form1Controls {
 public:
  // Makes the fonts for 96 DPI; raises Error when one cannot be made.
  Form1Controls();
  Form1Controls(const Form1Controls&) = delete;
  Form1Controls& operator=(const Form1Controls&) = delete;

  // Creates every control inside `form` in the designed order (which is also the order
  // Tab walks), with its caption, font and initial visibility; Image1 draws `banner`.
  // Raises Error when a control cannot be created; those made so far die with `form`.
  void Create(HINSTANCE instance, HWND form, const PngPicture& banner);
  // Makes the fonts for `dpi` and gives them to the form and its controls, and scales the
  // banner to it. Raises Error when a font cannot be made; the old ones are kept then.
  void SetDpi(int dpi);
  int Dpi() const { return dpi_; }

  // Tahoma 11, the form's own font and its buttons'.
  HFONT WindowFont() const { return window_font_.get(); }
  // The control with this id, or null.
  HWND Get(int id) const;
  // Moves every control to the place `stacking` gives for the form's present client size.
  void Arrange(const Form1Stacking& stacking) const;

 private:
  // Declared before anything that uses them: the controls must be gone before the fonts.
  UniqueFont window_font_;
  UniqueFont field_font_;
  UniqueFont status_font_;
  int dpi_ = 96;
  HWND form_ = nullptr;
  // Child windows; the form owns and destroys them.
  std::map<int, HWND> controls_;
  // Bound to Image1 and Image2; the form's window, which takes its controls with it,
  // goes before this object.
  std::unique_ptr<PictureControl> banner_view_;
  PictureControl empty_view_{nullptr};
};
