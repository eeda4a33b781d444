#pragma once
// Turns the message pump now and then during a task whose steps are too many and too
// short to pump after each, such as the blocks of an extraction.
#include <cstdint>

#include "transfer/message_pump.h"
#include "transfer/tick_clock.h"

class PumpCadence {
 public:
  // Often enough that a click or a paint waits no longer than a person notices; rarely
  // enough that an empty turn (about 60 us under Wine) costs nothing measurable.
  static constexpr std::uint64_t kIntervalMs = 100;

  // The first turn comes kIntervalMs after this.
  PumpCadence(MessagePump& pump, TickClock& clock);

  // To be called after each step: turns the pump once kIntervalMs have passed since the
  // last turn. Raises TransferAbandoned once the pump has taken up a quit request.
  void AfterStep();

 private:
  MessagePump& pump_;
  TickClock& clock_;
  std::uint64_t last_turn_ms_;
};
