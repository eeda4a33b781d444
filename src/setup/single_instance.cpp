#include "setup/single_instance.h"

StartAs DecideStart(InstanceName name, const std::wstring& detail, const std::function<bool()>& bring_first_to_front,
                    Log& log) {
  switch (name) {
    case InstanceName::Made:
      return StartAs::OnlyInstance;
    case InstanceName::HeldByAnInstance:
      return bring_first_to_front() ? StartAs::FirstBroughtToFront : StartAs::ShowAlreadyRunning;
    case InstanceName::HeldByAnotherOwner:
      log.Event(L"instance name: made by another owner (" + detail + L"); going on as the only run");
      break;
    case InstanceName::Unopenable:
      log.Event(L"instance name: exists but cannot be opened (" + detail + L"); going on as the only run");
      break;
    case InstanceName::Failed:
      log.Event(L"instance name: cannot be made (" + detail + L"); going on as the only run");
      break;
  }
  return StartAs::OnlyInstance;
}
