#pragma once
// The process watch on Windows: Toolhelp snapshots and the process's image path.
#include <cstdint>
#include <string>

#include "platform/process_list.h"

class ProcessListWin32 : public ProcessList {
 public:
  bool Scan(const std::function<bool(const ProcessEntry&)>& visit) override;
  std::optional<std::uint32_t> OwnSession() override;
  ExecutableImage ExecutablePath(std::uint32_t pid) override;
  bool IsInstalledProgram(const std::wstring& path) override;
};

// The full path of the executable of process `pid`, by QueryFullProcessImageNameW on a
// handle with limited query rights; whether the process has exited meanwhile or its path
// cannot be read (with the system's reason) as JudgeExecutableImage tells.
ExecutableImage GetPathFromPID(std::uint32_t pid);
