#pragma once
// Output files on the local file system.
#include "transfer/output_file.h"

class WindowsOutputFiles : public OutputFiles {
 public:
  std::unique_ptr<OutputFile> Create(const std::wstring& path, std::wstring& reason) override;
  void Remove(const std::wstring& path) override;
};
