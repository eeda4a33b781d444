#pragma once
// An archive file on disk, read front to back.
#include <windows.h>

#include <cstdint>
#include <string>

#include "base/unique_handle_win32.h"
#include "transfer/archive_input.h"

class ArchiveFileWin32 : public ArchiveInput {
 public:
  // Opens `path` for reading, shared with other readers and closed to writers. Raises
  // "Cannot open file "<full path>". <the system's message>" when it cannot.
  explicit ArchiveFileWin32(const std::wstring& path);
  // Reads through a file already open for reading, from its start.
  explicit ArchiveFileWin32(UniqueFile file);

  std::uint64_t Size() override { return size_; }
  void Seek(std::uint64_t position) override;
  std::size_t Read(unsigned char* buffer, std::size_t count) override;

 private:
  void ReadSize();

  UniqueFile file_;
  std::uint64_t size_ = 0;
};
