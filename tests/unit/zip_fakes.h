#pragma once
// The ZIP reader's outside world in memory: an archive that counts how it is read, and a
// file system that records what was made, in order.
#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "memory_files.h"
#include "transfer/archive_input.h"
#include "transfer/extraction_target.h"
#include "transfer/zip_paths.h"

namespace zip_test {

class MemoryArchive : public ArchiveInput {
 public:
  explicit MemoryArchive(std::string bytes) : bytes_(std::move(bytes)) {}
  std::uint64_t Size() override { return bytes_.size(); }
  void Seek(std::uint64_t position) override {
    ++seeks;
    position_ = position;
  }
  std::size_t Read(unsigned char* buffer, std::size_t count) override {
    largest_read = std::max(largest_read, count);
    const std::size_t n = position_ >= bytes_.size()
                              ? 0
                              : std::min<std::size_t>(count, bytes_.size() - position_);
    std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += n;
    bytes_read += n;
    return n;
  }
  int seeks = 0;
  std::size_t largest_read = 0;
  std::uint64_t bytes_read = 0;

 private:
  std::string bytes_;
  std::uint64_t position_ = 0;
};

// The extraction's target: a file can be made only in a folder made before.
struct MemoryTarget : MemoryFiles {
  MemoryTarget() { folders_must_exist = true; }
};

}  // namespace zip_test
