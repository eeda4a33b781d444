#pragma once
// The GUI thread's queue, emptied between the blocks of a long task.
#include "transfer/message_pump.h"

// A quit request taken from the queue is held back and posted again when the pump is
// destroyed, so the program still ends once control is back in the main message loop.
// Reposting at once would hand it back on the next turn, ahead of paints and timers; the
// task that pumps ends at its next turn anyway.
class QueuePumpWin32 : public MessagePump {
 public:
  QueuePumpWin32() = default;
  QueuePumpWin32(const QueuePumpWin32&) = delete;
  QueuePumpWin32& operator=(const QueuePumpWin32&) = delete;
  ~QueuePumpWin32() override;

  bool HandlePending() override;

 private:
  bool quit_ = false;
  int exit_code_ = 0;
};
