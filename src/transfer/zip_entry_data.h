#pragma once
// Copies one entry's data from the archive into its file.
#include <cstdint>
#include <vector>

#include "transfer/archive_buffer.h"
#include "transfer/extraction_target.h"

// Writes exactly `size` bytes into `file`, in blocks of up to kOutputBlock, and gives their
// CRC-32. The archive's position is at the entry's data and ends right after what was
// used of it. Raises "Stream read error" when the data ends first, zlib's message ("data
// error", "insufficient memory") when the Deflate data is damaged or memory runs out, and
// "Stream write error" when a write fails.
class EntryCopier {
 public:
  static constexpr std::size_t kOutputBlock = 61440;

  EntryCopier() : output_(kOutputBlock) {}

  // The bytes as they are (stored, method 0).
  std::uint32_t CopyStored(ArchiveBuffer& archive, std::uint32_t size, OutputFile& file);
  // Raw Deflate (method 8). The input is not limited to the entry's compressed size: it
  // is read until the Deflate stream or the file ends.
  std::uint32_t CopyInflated(ArchiveBuffer& archive, std::uint32_t size, OutputFile& file);

 private:
  std::vector<unsigned char> output_;
};
