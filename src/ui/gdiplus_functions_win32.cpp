#include "ui/gdiplus_functions_win32.h"

#include "base/system_library_win32.h"

const GdiplusFunctions& Gdip() {
  static const GdiplusFunctions functions = [] {
    // Wine's GDI+ decodes through windowscodecs.dll, which it loads when first asked, and
    // Wine looks for such late loads of its own libraries, and for their imports (propsys.dll),
    // in the search order the process started with, the application's folder first. Loaded
    // here from the system folder beforehand, it is found already there. Windows keeps to
    // the limited search for those loads; there this is merely a library loaded early.
    const SystemLibrary codecs(L"windowscodecs.dll");
    const SystemLibrary library(L"gdiplus.dll");
    GdiplusFunctions f{};
    library.Bind(f.GdiplusStartup, "GdiplusStartup");
    library.Bind(f.GdiplusShutdown, "GdiplusShutdown");
    library.Bind(f.GdipCreateFromHDC, "GdipCreateFromHDC");
    library.Bind(f.GdipDeleteGraphics, "GdipDeleteGraphics");
    library.Bind(f.GdipCreateBitmapFromStream, "GdipCreateBitmapFromStream");
    library.Bind(f.GdipDisposeImage, "GdipDisposeImage");
    library.Bind(f.GdipGetImageWidth, "GdipGetImageWidth");
    library.Bind(f.GdipGetImageHeight, "GdipGetImageHeight");
    library.Bind(f.GdipDrawImageRectI, "GdipDrawImageRectI");
    library.Bind(f.GdipSetInterpolationMode, "GdipSetInterpolationMode");
    library.Bind(f.GdipSetPixelOffsetMode, "GdipSetPixelOffsetMode");
    return f;
  }();
  return functions;
}
