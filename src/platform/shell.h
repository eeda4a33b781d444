#pragma once
// The hidden shell command: one parameter string for "cmd.exe", started hidden.
#include <string>

class Shell {
 public:
  virtual ~Shell() = default;
  // Starts the command processor with `parameters` (which begin with "/C ") and returns at
  // once; the outcome is never learned.
  virtual void Run(const std::wstring& parameters) = 0;
  // The folder of the system's own programs, e.g. "C:\Windows\system32".
  virtual std::wstring SystemFolder() = 0;
};
