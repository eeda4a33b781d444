#pragma once
// The ZIP reader's outside world on Linux, for the benchmark: the archive read with
// read(2) and the entries written with plain POSIX calls. The reader's paths use "\",
// which becomes "/" here.
#include <cstdint>
#include <memory>
#include <string>

#include "transfer/archive_input.h"
#include "transfer/extraction_target.h"

class PosixArchive : public ArchiveInput {
 public:
  explicit PosixArchive(const std::string& path);  // exits when it cannot be opened
  ~PosixArchive() override;
  std::uint64_t Size() override { return size_; }
  void Seek(std::uint64_t position) override;
  std::size_t Read(unsigned char* buffer, std::size_t count) override;
  int seeks = 0;
  int reads = 0;

 private:
  int fd_ = -1;
  std::uint64_t size_ = 0;
};

class PosixTarget : public ExtractionTarget {
 public:
  std::wstring FullPath(const std::wstring& path) override;
  void MakeFolders(const std::wstring& folder) override;
  std::unique_ptr<OutputFile> Create(const std::wstring& path, std::wstring& reason) override;
  void Remove(const std::wstring& path) override;
};

// Bench paths are ASCII and UTF-8 names: wide text to UTF-8 and back.
std::string NarrowPath(const std::wstring& path);
std::wstring WidePath(const std::string& path);
