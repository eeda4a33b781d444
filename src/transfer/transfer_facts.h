#pragma once
// What support needs to know of one transfer, filled in as it goes and read once it has
// ended, whatever the outcome: never per block, so the loops do no more work for it.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

struct DownloadFacts {
  unsigned status = 0;                  // of the last answer; 0 when none came
  std::optional<std::uint64_t> length;  // the Content-Length, when the answer gave one
  std::uint64_t bytes = 0;              // of the body in the file
  // The vendor's signature: empty when none was checked (no key built in, or the body
  // failed first), else "verified" or what was wrong with it.
  std::wstring signature;
  int attempts = 0;                     // made, the last included
};

struct ExtractionFacts {
  std::size_t entries = 0;       // in the archive's central directory
  std::size_t entries_done = 0;  // files and folders fully unpacked
  std::uint64_t bytes = 0;       // the unpacked size of the files done
};
