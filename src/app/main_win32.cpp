// The entry sequence: the application and its two windows, start-up, the message loop.
#include <windows.h>
#include <commctrl.h>

#include <exception>
#include <vector>

#include "app/application_win32.h"
#include "app/com_apartment_win32.h"
#include "app/single_instance_win32.h"
#include "ui/error_report_win32.h"
#include "base/known_folders_win32.h"
#include "base/module_path_win32.h"
#include "base/redirection_guard_win32.h"
#include "base/run_log_file_win32.h"
#include "base/user_paths.h"
#include "base/system_library_win32.h"
#include "base/text.h"
#include "platform/process_list_win32.h"
#include "platform/shell_win32.h"
#include "setup/file_system_win32.h"
#include "setup/logged_session.h"
#include "setup/run_folder_win32.h"
#include "setup/stage_chain.h"
#include "payload_keys.h"
#include "setup/stage_texts.h"
#include "transfer/cng_verifier_win32.h"
#include "transfer/downloader_win32.h"
#include "transfer/unzip_file_win32.h"
#include "ui/form1_window_win32.h"
#include "ui/form2_window_win32.h"

#ifndef KALVERA_VERSION_DOTTED
#define KALVERA_VERSION_DOTTED 0.0.0.0
#endif
#define KALVERA_WIDE_TEXT(x) KALVERA_WIDE_TEXT2(x)
#define KALVERA_WIDE_TEXT2(x) L## #x

namespace {

// The configuration folder of the folders start-up chose; chosen here when start-up ended
// before it got that far.
std::wstring RunLogFolder(const user_paths::UserFolders& chosen, Log& log) {
  if (!chosen.documents.empty()) return user_paths::ConfigurationFolder(chosen);
  KnownFoldersWin32 system;
  return user_paths::ConfigurationFolder(user_paths::ChooseUserFolders(GetUserFromWindows(), system, log));
}

// From another session the first run's window cannot be brought up: the person is told.
// Nothing of this may end the program otherwise than with 0, having done nothing.
void ShowAlreadyRunning() {
  try {
    ApplicationWin32(ApplicationTitle(FileNameOf(ModulePath()))).ShowMessage(stage_text::kAlreadyRunning);
  } catch (const std::exception&) {
  }
}

int RunApplication(HINSTANCE instance, RunLog& log, const std::function<std::uint64_t()>& since_start,
                   const LocalTime& start) {
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
  // Built with the vendor's keys, every download must carry a signature by one of them;
  // without, nothing is fetched beyond the files.
  CngPayloadVerifier verifier(std::vector<PayloadKey>(kPayloadKeys.begin(), kPayloadKeys.end()));
  WinInetDownloader downloader(kServerTimeoutMs, RetryPlan{}, kPayloadKeys.empty() ? nullptr : &verifier,
                               window.hwnd());
  UnzipperWin32 unzipper;
  FileSystemWin32 files;
  RunFolderSystemWin32 run_folders;
  // The log sees the session through these; what they wrap is what the handlers use.
  LoggedControls logged_controls(window, log);
  LoggedApplication logged_app(app, log);
  LoggedProcessList logged_processes(processes, log);
  LoggedDownloader logged_downloader(downloader, log, since_start);
  LoggedUnzipper logged_unzipper(unzipper, log, since_start);
  LogRunStart(log, app, KALVERA_WIDE_TEXT(KALVERA_VERSION_DOTTED), WindowsVersionText());
  Form1 form{logged_controls, logged_app, shell, logged_processes, clock,     logged_downloader,
             logged_unzipper, files,      run_folders, log,           Globals{}, RunWatches{}};
  window.Attach(&form);
  window.Run(FormCreate);
  // The user name is known from here on, and with it the log's folder.
  log.Attach(OpenRunLogFile(RunLogFolder(form.folders, log), RunLogFileName(start)));

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
  // The window is closed, or the chain asked to end; the form still exists.
  LeaveRunFolder(form);
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // Before anything that can load a library: the utility is usually started from a
  // Downloads folder, where anything else may have been saved too.
  LimitLibrarySearchToSystemFolder();
  // Before any file is touched: a junction that an unelevated program made in the
  // person's folders is then not followed with the utility's rights.
  const std::wstring redirection_guard = TurnOnRedirectionGuard();
  const std::function<std::uint64_t()> since_start = MillisecondsSinceNow();
  const LocalTime start = StartTime();
  RunLog log(since_start);
  log.Event(redirection_guard);
  // Before start-up's guard and removal, which would end the first run's platform and
  // remove its download folder. A second run writes nothing, not even its log: a new log
  // would rotate away the first one's.
  const InstanceLock instance_lock;
  switch (DecideStart(instance_lock.state(), instance_lock.detail(), BringFirstInstanceToFront, log)) {
    case StartAs::FirstBroughtToFront:
      return 0;
    case StartAs::ShowAlreadyRunning:
      ShowAlreadyRunning();
      return 0;
    case StartAs::OnlyInstance:
      break;
  }
  int exit_code = 1;
  try {
    exit_code = RunApplication(instance, log, since_start, start);
  } catch (const std::exception& error) {
    ShowApplicationError(error, log);
  } catch (...) {
    ShowApplicationError(std::runtime_error("Unknown error"), log);
  }
  EndRunLog(log, exit_code, [&] { return OpenRunLogFile(RunLogFolder({}, log), RunLogFileName(start)); });
  return exit_code;
}
