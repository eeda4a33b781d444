#include "polling.h"

namespace harness {

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout,
               std::chrono::milliseconds interval) {
  return PollFor([&] { return condition(); }, timeout, interval);
}

}  // namespace harness
