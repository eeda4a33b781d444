#pragma once
// The only view the utility has of what runs on the machine.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/process_path.h"

struct ProcessEntry {
  std::wstring exe_name;
  std::uint32_t pid = 0;
  std::optional<std::uint32_t> session;  // nothing when it cannot be read
};

class ProcessList {
 public:
  virtual ~ProcessList() = default;
  // Visits a fresh snapshot of every session's processes, in snapshot order, until the
  // visitor returns false; false when the snapshot could not be taken (nothing
  // visited). An error raised by the visitor passes on.
  virtual bool Scan(const std::function<bool(const ProcessEntry&)>& visit) = 0;
  // The session the utility itself runs in; nothing when it cannot be read.
  virtual std::optional<std::uint32_t> OwnSession() = 0;
  // The full path of a process's executable (GetPathFromPID), read from the system's
  // record of the process and never from the process's own memory, which its owner
  // controls. Raises nothing.
  virtual ExecutableImage ExecutablePath(std::uint32_t pid) = 0;
  // Whether the executable at `path` is a program installed on this machine
  // (platform/installed_program.h); false when that cannot be told.
  virtual bool IsInstalledProgram(const std::wstring& path) = 0;
};

// Called for each counted process in snapshot order; returns false to end the scan.
using ProcessVisitor = std::function<bool(const std::wstring& exe_name, std::uint32_t pid)>;

// The scan of the utility's own session. On a server where several people work at
// once, another person's platform is none of the utility's business: it neither holds
// the chain up nor gets ended. A process whose session cannot be read does not count;
// when the utility's own session cannot be read, every process counts, as on a machine
// with one session. False when the snapshot could not be taken.
bool ScanOwnSession(ProcessList& list, const ProcessVisitor& visit);
// The rule ScanOwnSession applies: whether `entry` counts for a utility in session `own`.
bool InOwnSession(const ProcessEntry& entry, const std::optional<std::uint32_t>& own);
