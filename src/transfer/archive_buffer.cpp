#include "transfer/archive_buffer.h"

#include <algorithm>
#include <cstring>

ArchiveBuffer::ArchiveBuffer(ArchiveInput& input)
    : input_(input), size_(input.Size()), block_(kBlockSize) {}

void ArchiveBuffer::Seek(std::uint64_t position) {
  if (position >= block_start_ && position - block_start_ <= block_length_) {
    cursor_ = static_cast<std::size_t>(position - block_start_);
    return;
  }
  // The block is dropped; the input itself moves only when the next block is read.
  block_start_ = position;
  block_length_ = 0;
  cursor_ = 0;
}

std::span<const unsigned char> ArchiveBuffer::Available() {
  if (cursor_ == block_length_) {
    const std::uint64_t next = block_start_ + block_length_;
    block_start_ = next;
    block_length_ = 0;
    cursor_ = 0;
    if (next >= size_) return {};
    if (input_position_ != next) input_.Seek(next);
    block_length_ = input_.Read(block_.data(), block_.size());
    input_position_ = next + block_length_;
  }
  return {block_.data() + cursor_, block_length_ - cursor_};
}

std::size_t ArchiveBuffer::Read(unsigned char* out, std::size_t count) {
  std::size_t done = 0;
  while (done < count) {
    const std::span<const unsigned char> bytes = Available();
    if (bytes.empty()) break;
    const std::size_t n = std::min(bytes.size(), count - done);
    std::memcpy(out + done, bytes.data(), n);
    Consume(n);
    done += n;
  }
  return done;
}

bool ArchiveBuffer::Skip(std::uint64_t count) {
  const std::uint64_t here = position();
  if (here > size_ || size_ - here < count) return false;
  Seek(here + count);
  return true;
}
