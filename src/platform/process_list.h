#pragma once
// The only view the utility has of what runs on the machine.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

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
  // The full path of a process's executable (GetPathFromPID): raises Error when the
  // process cannot be opened, gives empty text when its path cannot be read.
  virtual std::wstring ExecutablePath(std::uint32_t pid) = 0;
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
