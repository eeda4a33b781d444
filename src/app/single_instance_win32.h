#pragma once
// The account's instance name, and what a second run does about the first.
#include <windows.h>

#include <string>

#include "base/unique_handle_win32.h"
#include "setup/single_instance.h"

// A named mutex in the global namespace, "Global\Kalvera.BaseInstaller.<account SID>", so
// that runs of one account in every session see it; it lives while this run holds it.
class InstanceLock {
 public:
  InstanceLock();
  InstanceName state() const { return state_; }
  // What the system answered, for the log.
  const std::wstring& detail() const { return detail_; }

 private:
  UniqueKernelHandle mutex_;
  InstanceName state_ = InstanceName::Failed;
  std::wstring detail_;
};

// Brings the main window of another run of this account in this session to the front,
// with the message it shows, if any; false when there is none.
bool BringFirstInstanceToFront();
