#include "transfer/free_space.h"

#include <limits>

std::uint64_t SpaceNeeded(std::uint64_t bytes, unsigned copies) {
  constexpr std::uint64_t kMost = std::numeric_limits<std::uint64_t>::max();
  if (copies != 0 && bytes > kMost / copies) return kMost;
  const std::uint64_t total = bytes * copies;
  // 5 % is a twentieth; a part of a byte still needs the whole byte.
  const std::uint64_t spare = total / 20 + (total % 20 != 0 ? 1 : 0);
  return total > kMost - spare ? kMost : total + spare;
}

std::optional<std::wstring> SpaceShortage(const std::wstring& folder, std::optional<std::uint64_t> free,
                                          std::uint64_t bytes, unsigned copies) {
  const std::uint64_t needed = SpaceNeeded(bytes, copies);
  if (!free || *free >= needed) return std::nullopt;
  return L"Not enough free space in \"" + folder + L"\": " + std::to_wstring(needed) + L" bytes are needed, " +
         std::to_wstring(*free) + L" are free";
}
