#pragma once
// The only view the utility has of what runs on the machine.
#include <cstdint>
#include <functional>
#include <string>

// Called for each process in snapshot order; returns false to end the scan.
using ProcessVisitor = std::function<bool(const std::wstring& exe_name, std::uint32_t pid)>;

class ProcessList {
 public:
  virtual ~ProcessList() = default;
  // Visits a fresh snapshot of the process list; false when the snapshot could not be
  // taken (nothing visited). An error raised by the visitor passes on.
  virtual bool Scan(const ProcessVisitor& visit) = 0;
  // The full path of a process's executable (GetPathFromPID): raises Error when the
  // process cannot be opened, gives empty text when its path cannot be read.
  virtual std::wstring ExecutablePath(std::uint32_t pid) = 0;
};
