#pragma once
// How a transfer that breaks off is tried again, and what it tells while it does.
#include <cstdint>
#include <string>
#include <vector>

struct RetryPlan {
  // Attempts in all, the first included.
  int attempts = 5;
  // The pause before the second attempt, the third, ...; the last one serves any further.
  std::vector<std::uint64_t> pauses_ms{2000, 4000, 8000, 16000};
  // A server's Retry-After up to this long is waited for instead of the planned pause, when
  // longer; a longer one is not, since the window would stand still for minutes.
  std::uint64_t longest_retry_after_ms = 30000;
};

// The wait between two attempts.
class AttemptPause {
 public:
  virtual ~AttemptPause() = default;
  // Waits `ms` while the window answers. True when the window was closed meanwhile: the
  // transfer is then given up.
  virtual bool Wait(std::uint64_t ms) = 0;
};

// What the transfer tells of its attempts while it runs; on the GUI thread, in order.
class TransferEvents {
 public:
  virtual ~TransferEvents() = default;
  // One line per attempt once it has ended, and one per pause, for the run log.
  virtual void Note(const std::wstring& line) = 0;
  // A pause has begun; attempt `next` of `attempts` follows it.
  virtual void Pausing(int next, int attempts) = 0;
  // Bytes flow again after a pause.
  virtual void Flowing() = 0;
};
