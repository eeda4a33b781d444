#pragma once
// Elapsed time for the rules that a long task keeps while it holds the GUI thread.
#include <cstdint>

class TickClock {
 public:
  virtual ~TickClock() = default;
  // Milliseconds from an arbitrary start; never goes back.
  virtual std::uint64_t NowMs() = 0;
};
