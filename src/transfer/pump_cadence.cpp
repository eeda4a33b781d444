#include "transfer/pump_cadence.h"

#include "transfer/transfer_abandoned.h"

PumpCadence::PumpCadence(MessagePump& pump, TickClock& clock)
    : pump_(pump), clock_(clock), last_turn_ms_(clock.NowMs()) {}

void PumpCadence::AfterStep() {
  const std::uint64_t now = clock_.NowMs();
  if (now - last_turn_ms_ < kIntervalMs) return;
  last_turn_ms_ = now;
  if (pump_.HandlePending()) throw TransferAbandoned();
}
