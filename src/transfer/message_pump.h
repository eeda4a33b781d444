#pragma once
// Lets the window live while a long task holds the GUI thread.

class MessagePump {
 public:
  virtual ~MessagePump() = default;
  // Handles every message waiting in the GUI thread's queue, then returns. A quit
  // request found there is kept for the main message loop, not acted on. True once a
  // quit request has been taken up, in this turn or an earlier one: the task should end.
  virtual bool HandlePending() = 0;
};
