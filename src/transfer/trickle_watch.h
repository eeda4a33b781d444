#pragma once
// Tells a body that still moves from one that only trickles: a server that sends a byte
// now and then never trips the wait for data, yet would hold a download for hours.
#include <cstdint>
#include <deque>
#include <optional>

#include "transfer/read_size.h"

class TrickleWatch {
 public:
  // The least a body must bring in any window of kWindowMs: one read's worth.
  static constexpr std::uint64_t kLeastBytes = BufferSize;
  static constexpr std::uint64_t kWindowMs = 30000;

  // The body starts at `start_ms`, with `received` bytes already there (a resumed
  // transfer): a window reaching back before it does not count, nor do those bytes.
  explicit TrickleWatch(std::uint64_t start_ms, std::uint64_t received = 0);

  // Notes that `received` bytes in all had arrived at `now_ms` (from reads, so never
  // fewer than before). Gives the bytes of the last kWindowMs when they were fewer than
  // kLeastBytes, and the body began at least that long ago; nothing otherwise.
  std::optional<std::uint64_t> TooFewAfter(std::uint64_t now_ms, std::uint64_t received);

 private:
  struct Mark {
    std::uint64_t at_ms;
    std::uint64_t received;
  };
  // The total after each read that added to it, oldest first, from the start or from
  // the newest one at least kLeastBytes behind: at most kLeastBytes + 1 marks, however
  // long the body.
  std::deque<Mark> marks_;
};
