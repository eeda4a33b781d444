#pragma once
// The hidden shell command: one parameter string for "cmd.exe", started hidden.
#include <memory>
#include <string>

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
};
