// The entry sequence: the application and its two windows, start-up, the message loop.
#include <windows.h>
#include <commctrl.h>

#include <exception>

#include "app/application_win32.h"
#include "app/com_apartment_win32.h"
#include "ui/error_report_win32.h"
#include "base/module_path_win32.h"
#include "base/system_library_win32.h"
#include "base/text.h"
#include "platform/process_list_win32.h"
#include "platform/shell_win32.h"
#include "setup/file_system_win32.h"
#include "setup/stage_chain.h"
#include "transfer/downloader_win32.h"
#include "transfer/unzip_file_win32.h"
#include "ui/form1_window_win32.h"
#include "ui/form2_window_win32.h"

namespace {

int RunApplication(HINSTANCE instance) {
  // Released after every window below is gone.
  ComApartment com;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
  ::InitCommonControlsEx(&controls);

  ApplicationWin32 app(ApplicationTitle(FileNameOf(ModulePath())));
  Form1Window window(instance, app.Title());
  app.SetOwner(window.hwnd());
  ShellWin32 shell(window.hwnd());
  ProcessListWin32 processes;
  SleepClock clock;
  WinInetDownloader downloader;
  UnzipperWin32 unzipper;
  FileSystemWin32 files;
  Form1 form{window, app, shell, processes, clock, downloader, unzipper, files, Globals{}, RunWatches{}};
  window.Attach(&form);
  window.Run(FormCreate);

  Form2Window second(instance, window.hwnd());
  ::ShowWindow(window.hwnd(), SW_SHOW);
  ::UpdateWindow(window.hwnd());

  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!::IsDialogMessageW(window.hwnd(), &msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // Before anything that can load a library: the utility is usually started from a
  // Downloads folder, where anything else may have been saved too.
  LimitLibrarySearchToSystemFolder();
  try {
    return RunApplication(instance);
  } catch (const std::exception& error) {
    ShowApplicationError(error);
  } catch (...) {
    ShowApplicationError(std::runtime_error("Unknown error"));
  }
  return 1;
}
