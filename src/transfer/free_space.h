#pragma once
// Whether a folder's volume has room for what is about to be written in it.
#include <cstdint>
#include <optional>
#include <string>

// The free bytes needed for `bytes` to be written `copies` times (a package and its
// extraction beside it are two), with 5 % to spare, rounded up; the largest count when
// that does not fit in 64 bits.
std::uint64_t SpaceNeeded(std::uint64_t bytes, unsigned copies);

// The error text when the volume of `folder`, with `free` bytes free for this account,
// cannot hold SpaceNeeded(bytes, copies); nothing when it can or when `free` is unknown
// (the system could not tell: the write itself still stops at a full disk).
//   Not enough free space in "<folder>": <needed> bytes are needed, <free> are free
std::optional<std::wstring> SpaceShortage(const std::wstring& folder, std::optional<std::uint64_t> free,
                                          std::uint64_t bytes, unsigned copies);
