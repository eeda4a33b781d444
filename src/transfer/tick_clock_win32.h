#pragma once
// The system's tick count: unaffected by changes of the wall clock.
#include <windows.h>

#include "transfer/tick_clock.h"

class TickClockWin32 : public TickClock {
 public:
  std::uint64_t NowMs() override { return ::GetTickCount64(); }
};
