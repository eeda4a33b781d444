#pragma once
// The archive as the ZIP reader sees it: one file, read front to back, with a seek where
// the central directory or a local header lies elsewhere.
#include <cstddef>
#include <cstdint>

class ArchiveInput {
 public:
  virtual ~ArchiveInput() = default;
  // The file's length in bytes.
  virtual std::uint64_t Size() = 0;
  // Moves the read position. Called only when the position really changes: under Wine a
  // positioned read is a round trip to the server, a plain one is not.
  virtual void Seek(std::uint64_t position) = 0;
  // Reads up to `count` bytes at the position and moves past them. Fewer only at the end
  // of the file; 0 also when the read fails.
  virtual std::size_t Read(unsigned char* buffer, std::size_t count) = 0;
};
