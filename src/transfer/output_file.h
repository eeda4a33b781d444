#pragma once
// The local file a download is written into.
#include <cstdint>
#include <memory>
#include <string>

class OutputFile {
 public:
  // Closes the file if it is still open.
  virtual ~OutputFile() = default;
  // Appends the bytes whole; false when they could not all be written (disk full).
  virtual bool Write(const unsigned char* data, std::uint32_t size) = 0;
  virtual void Close() = 0;
};

class OutputFiles {
 public:
  virtual ~OutputFiles() = default;
  // Creates the file at `path` for reading and writing, shared with no one; a file of
  // that name is truncated and reused. Null when that is impossible (folder missing,
  // file locked or read-only, access denied); `reason` then holds the system's message.
  virtual std::unique_ptr<OutputFile> Create(const std::wstring& path, std::wstring& reason) = 0;
  // Deletes the file at `path`, which must be closed; a failure is not reported.
  virtual void Remove(const std::wstring& path) = 0;
};
