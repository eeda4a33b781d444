#pragma once
// What the handlers share: the global variables, the controls, and the outside world
// behind small interfaces, so the same handlers run against Windows or against fakes.
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "base/run_log.h"
#include "base/user_paths.h"
#include "platform/process_list.h"
#include "platform/shell.h"
#include "setup/account_check.h"
#include "setup/controls.h"
#include "setup/file_system.h"
#include "setup/run_folder.h"
#include "setup/run_watch.h"
#include "transfer/downloader.h"
#include "transfer/unzipper.h"

// State carried from one event handler to the next, for the whole run.
struct Globals {
  std::wstring PCName;
  bool first_install = false;
  bool setuprunned = false;
  std::wstring path_1c;
  std::wstring server;
  std::wstring pas_1c;
};

// Pauses on the GUI thread: Sleep blocks (nothing repaints, no timer ticks meanwhile).
class Clock {
 public:
  virtual ~Clock() = default;
  virtual void Sleep(unsigned milliseconds) = 0;
  // A pause during which the window's messages are handled, so that it repaints and
  // answers. Raises TransferAbandoned when a quit request is taken up meanwhile.
  virtual void PauseAnswering(unsigned milliseconds) = 0;
};

// The application object's part in the logic: modal messages, the end of the run, and
// what start-up asks of the system.
class Application {
 public:
  virtual ~Application() = default;
  // A message box with no icon and one OK button, the application title as caption,
  // centred on the screen; returns when the user has closed it.
  virtual void ShowMessage(const std::wstring& text) = 0;
  // The same with OK and Cancel; true when the user chose OK.
  virtual bool Confirm(const std::wstring& text) = 0;
  // Posts a quit request: the program ends when the main message loop takes it up.
  virtual void RequestTermination() = 0;
  virtual bool TerminationRequested() = 0;
  // The name of the user the utility runs as (GetUserFromWindows).
  virtual std::wstring UserName() = 0;
  // The account of the utility's own token, and the one signed in to its session;
  // nothing when it cannot be read.
  virtual std::optional<AccountName> RunningAccount() = 0;
  virtual std::optional<AccountName> SessionAccount() = 0;
  // The primary monitor's work area.
  virtual ScreenRect WorkArea() = 0;
  // Where the account's own folders lie.
  virtual user_paths::KnownFolders& Folders() = 0;
};

struct Form1 {
  Controls& controls;
  Application& app;
  Shell& shell;
  ProcessList& processes;
  Clock& clock;
  Downloader& downloader;
  Unzipper& unzipper;
  FileSystem& files;
  RunFolderSystem& run_folders;
  Log& log;
  Globals globals;
  RunWatches run_watches;
  // Start-up's removal of the download folder, which runs on its own while the window
  // opens; the first scenario step that makes the folder again waits for it.
  std::unique_ptr<CommandRun> download_folder_removal = nullptr;
  // The account's folders that every path is built in, chosen once by start-up.
  user_paths::UserFolders folders{};
  // This run's folder (setup/run_folder.h); empty while there is none.
  std::wstring run_folder = {};
  // From the setup program's start until expectation sees it gone.
  bool setup_program_runs = false;
  // The platforms start_1CTimer has refused and told the person about, each told once a
  // run: by path, or by name and id where the path could not be read.
  std::set<std::wstring> refused_platforms = {};
};
