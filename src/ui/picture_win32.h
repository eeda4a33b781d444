#pragma once
// The window's pictures: GDI+ for the process, a PNG from the executable's resources,
// and the picture control (Image1, Image2) that draws one at its own size.
#include <windows.h>

#include <objidl.h>

#include <cstdint>

#include "ui/window_base_win32.h"

// GDI+ from construction to destruction; every picture must be gone before this is.
class GdiplusSession {
 public:
  GdiplusSession();  // raises Error when GDI+ does not start
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;
  ~GdiplusSession();

 private:
  ULONG_PTR token_ = 0;
};

// A PNG decoded by GDI+, with its alpha channel.
class PngPicture {
 public:
  // Reads the RCDATA resource `name` of `module`. Raises Error when the resource is
  // missing or is not a picture GDI+ can read.
  PngPicture(HMODULE module, const wchar_t* name);
  PngPicture(const PngPicture&) = delete;
  PngPicture& operator=(const PngPicture&) = delete;
  ~PngPicture();

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Draws it with its top-left corner at (x, y), `width` x `height` pixels, blending its
  // transparent parts over what `dc` already holds. A size other than its own is
  // filtered bicubically, so that a scaled banner stays smooth.
  void Draw(HDC dc, int x, int y, int width, int height) const;

 private:
  IStream* stream_ = nullptr;  // GDI+ reads the bitmap's data from it for as long as it lives
  void* bitmap_ = nullptr;     // GpBitmap
  int width_ = 0;
  int height_ = 0;
};

// The picture control: shows `picture` (null for an empty band) at its top-left corner,
// scaled to the window's DPI, over the window colour; a control lower than the picture
// shows its top part. Both the picture and this object must outlive the control, which
// is created with CreateParam() as its creation parameter.
class PictureControl final : public WindowBase {
 public:
  explicit PictureControl(const PngPicture* picture) : picture_(picture) {}
  // Registers the picture control class once per process; returns its name. Raises Error.
  static const wchar_t* ClassName(HINSTANCE instance);
  // The DPI to draw at from the next paint on; 96 at first.
  void SetDpi(int dpi) { dpi_ = dpi; }

 private:
  LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override;

  const PngPicture* picture_;
  int dpi_ = 96;
};
