#pragma once
// GDI+ as the pictures use it, loaded from the system folder at the first use
// (base/system_library_win32.h): Windows 7 would take a gdiplus.dll saved beside the
// utility were it imported, since there it is not one of the KnownDLLs.
#include <windows.h>

#include <objidl.h>
#include <gdiplus.h>

struct GdiplusFunctions {
  decltype(&Gdiplus::GdiplusStartup) GdiplusStartup;
  decltype(&Gdiplus::GdiplusShutdown) GdiplusShutdown;
  decltype(&Gdiplus::DllExports::GdipCreateFromHDC) GdipCreateFromHDC;
  decltype(&Gdiplus::DllExports::GdipDeleteGraphics) GdipDeleteGraphics;
  decltype(&Gdiplus::DllExports::GdipCreateBitmapFromStream) GdipCreateBitmapFromStream;
  decltype(&Gdiplus::DllExports::GdipDisposeImage) GdipDisposeImage;
  decltype(&Gdiplus::DllExports::GdipGetImageWidth) GdipGetImageWidth;
  decltype(&Gdiplus::DllExports::GdipGetImageHeight) GdipGetImageHeight;
  decltype(&Gdiplus::DllExports::GdipDrawImageRectI) GdipDrawImageRectI;
  decltype(&Gdiplus::DllExports::GdipSetInterpolationMode) GdipSetInterpolationMode;
  decltype(&Gdiplus::DllExports::GdipSetPixelOffsetMode) GdipSetPixelOffsetMode;
};

// The functions, bound once. Raises Error when gdiplus.dll or one of them cannot be had;
// the next call then tries again.
const GdiplusFunctions& Gdip();
