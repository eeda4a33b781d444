#pragma once
// Reads an archive through one block of kBlockSize, so that headers, names and data that lie
// next to each other come from one read of the file, and moving back into bytes already
// read costs no seek.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "transfer/archive_input.h"

class ArchiveBuffer {
 public:
  static constexpr std::size_t kBlockSize = 65536;

  explicit ArchiveBuffer(ArchiveInput& input);
  ArchiveBuffer(const ArchiveBuffer&) = delete;
  ArchiveBuffer& operator=(const ArchiveBuffer&) = delete;

  std::uint64_t size() const { return size_; }
  std::uint64_t position() const { return block_start_ + cursor_; }

  // Moves to `position`, which may lie past the end of the file (reads then give nothing).
  void Seek(std::uint64_t position);
  // Copies up to `count` bytes and moves past them; fewer only at the end of the file.
  std::size_t Read(unsigned char* out, std::size_t count);
  // Moves forward over `count` bytes when the file holds them all; false otherwise.
  bool Skip(std::uint64_t count);

  // The bytes buffered from the position on, reading the next block first when none are
  // left; empty at the end of the file. Valid until the next call on this object.
  std::span<const unsigned char> Available();
  // Moves past `count` bytes of what Available gave.
  void Consume(std::size_t count) { cursor_ += count; }

 private:
  ArchiveInput& input_;
  const std::uint64_t size_;
  std::vector<unsigned char> block_;
  std::uint64_t block_start_ = 0;  // file position of block_[0]
  std::size_t block_length_ = 0;   // bytes of block_ that hold file data
  std::size_t cursor_ = 0;         // position within block_
  std::uint64_t input_position_ = 0;
};
