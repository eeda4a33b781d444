#pragma once
// The hidden shell command: one parameter string for "cmd.exe", started hidden.
#include <memory>
#include <optional>
#include <string>

#include "platform/unelevated_run.h"

// A command processor started by Shell::RunTracked, whose end can be asked for.
class CommandRun {
 public:
  virtual ~CommandRun() = default;
  // True once the command processor has ended, or when it could not be started.
  virtual bool HasEnded() = 0;
};

class Shell {
 public:
  virtual ~Shell() = default;
  // Starts the command processor with `parameters` (which begin with "/C ") and returns at
  // once; the outcome is never learned.
  virtual void Run(const std::wstring& parameters) = 0;
  // The same with `folder` as the command processor's current folder, which the program
  // it starts inherits.
  virtual void RunIn(const std::wstring& parameters, const std::wstring& folder) = 0;
  // The same, for a command whose end a later step must wait for.
  virtual std::unique_ptr<CommandRun> RunTracked(const std::wstring& parameters) = 0;
  // The folder of the system's own programs, e.g. "C:\Windows\system32".
  virtual std::wstring SystemFolder() = 0;
  // The desktop shell of the utility's session, as far as it can be read.
  virtual DesktopShell Desktop() = 0;
  // Starts the command processor hidden with `parameters`, with the desktop shell's token
  // and so with the person's own rights. Nothing when it started; otherwise the step that
  // failed and the system's reason, and nothing was started.
  virtual std::optional<std::wstring> RunAsDesktop(const std::wstring& parameters) = 0;
};
