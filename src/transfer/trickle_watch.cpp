#include "transfer/trickle_watch.h"

TrickleWatch::TrickleWatch(std::uint64_t start_ms, std::uint64_t received) {
  marks_.push_back({start_ms, received});
}

std::optional<std::uint64_t> TrickleWatch::TooFewAfter(std::uint64_t now_ms, std::uint64_t received) {
  if (received != marks_.back().received) marks_.push_back({now_ms, received});
  // Of the marks at least kLeastBytes behind, only the newest matters: from it on enough
  // came, and whatever follows it can only add to that.
  while (marks_.size() > 1 && marks_[1].received + kLeastBytes <= received) marks_.pop_front();
  const bool enough_since_front = marks_.front().received + kLeastBytes <= received;
  // The first mark that counts short of kLeastBytes; the window must reach back past it.
  const Mark& first_short = enough_since_front ? marks_[1] : marks_.front();
  if (first_short.at_ms + kWindowMs > now_ms) return std::nullopt;
  std::uint64_t before_window = 0;
  for (const Mark& mark : marks_) {
    if (mark.at_ms + kWindowMs <= now_ms) before_window = mark.received;
  }
  return received - before_window;
}
