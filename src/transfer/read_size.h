#pragma once
// How much each read of a body asks for; the trickle rule counts in the same unit.
#include <cstdint>

// The most asked for by each read, which takes what has arrived: one bar step and one
// turn of the message pump per read.
inline constexpr std::uint32_t BufferSize = 3072;
