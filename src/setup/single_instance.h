#pragma once
// One run of the utility at a time for each account: a second one would remove the first
// one's download folder at start-up and run a second chain over the same base.
#include <functional>
#include <string>

#include "base/run_log.h"

// What the system said when the account's instance name was asked for.
enum class InstanceName {
  Made,                  // this run is the first
  HeldByAnInstance,      // exists, owned by SYSTEM or the Administrators: a run of ours holds it
  HeldByAnotherOwner,    // exists, made by an account that may not make ours
  Unopenable,            // exists but cannot be opened (denied, or another kind of object)
  Failed,                // could not be asked at all
};

enum class StartAs { OnlyInstance, FirstBroughtToFront, ShowAlreadyRunning };

// A name that someone else made, to stop the installation or by mistake, does not stop it:
// the run goes on as the only one and logs why (`detail` says what the system answered).
// A second run asks `bring_first_to_front` to bring the first one's window to the front,
// which is false when that window is not in this session; the person is then told that the
// installation runs.
StartAs DecideStart(InstanceName name, const std::wstring& detail, const std::function<bool()>& bring_first_to_front,
                    Log& log);
