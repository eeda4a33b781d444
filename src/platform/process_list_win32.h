#pragma once
// The process watch on Windows: Toolhelp snapshots and the process's image path.
#include <cstdint>
#include <string>

#include "platform/process_list.h"

class ProcessListWin32 : public ProcessList {
 public:
  bool Scan(const std::function<bool(const ProcessEntry&)>& visit) override;
  std::optional<std::uint32_t> OwnSession() override;
  std::wstring ExecutablePath(std::uint32_t pid) override;
};

// The full path of the executable of process `pid`. Raises Error ("System Error.  Code: N."
// and the system's message) when the process cannot be opened; gives empty text when
// neither path query answers.
std::wstring GetPathFromPID(std::uint32_t pid);
