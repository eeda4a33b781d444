#pragma once
// Every wait in a Wine test is a poll with a deadline: nothing there signals completion.
#include <chrono>
#include <functional>
#include <thread>

namespace harness {

// Asks `condition` every `interval` until it holds or `timeout` has passed; the answer of
// the last call. It is asked at least once, and once more at the deadline.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout,
               std::chrono::milliseconds interval = std::chrono::milliseconds(50));

// Whether a probe's answer counts as found: a non-null handle, a filled optional, a
// non-empty text or list.
template <typename T>
bool IsFound(const T& answer) {
  if constexpr (requires { answer.empty(); }) {
    return !answer.empty();
  } else {
    return static_cast<bool>(answer);
  }
}

// Asks `probe` the same way until IsFound(its answer); that answer, or the last one at
// the deadline.
template <typename Probe>
auto PollFor(Probe probe, std::chrono::milliseconds timeout,
             std::chrono::milliseconds interval = std::chrono::milliseconds(50)) -> decltype(probe()) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    auto result = probe();
    if (IsFound(result) || std::chrono::steady_clock::now() >= deadline) return result;
    std::this_thread::sleep_for(interval);
  }
}

}  // namespace harness
