#pragma once
// Output files on the local file system.
#include "transfer/output_file.h"

class WindowsOutputFiles : public OutputFiles {
 public:
  // `deleted_unless_kept`: each file is marked to be deleted when its handle closes until
  // OutputFile::Keep, and can be emptied again (the download's files).
  explicit WindowsOutputFiles(bool deleted_unless_kept = false) : deleted_unless_kept_(deleted_unless_kept) {}
  std::unique_ptr<OutputFile> Create(const std::wstring& path, std::wstring& reason) override;
  void Remove(const std::wstring& path) override;
  std::optional<std::uint64_t> FreeBytes(const std::wstring& folder) override;

 private:
  bool deleted_unless_kept_;
};
