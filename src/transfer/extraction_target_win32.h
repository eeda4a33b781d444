#pragma once
// Unpacked entries as real folders and files.
#include <string>

#include "transfer/extraction_target.h"

class ExtractionTargetWin32 : public ExtractionTarget {
 public:
  std::wstring FullPath(const std::wstring& path) override;
  void MakeFolders(const std::wstring& folder) override;
  std::unique_ptr<ExtractedFile> Create(const std::wstring& path, std::wstring& reason) override;
  void Remove(const std::wstring& path) override;
};

// `path` made absolute from the current folder (GetFullPathNameW); unchanged when the
// system cannot.
std::wstring FullPathName(const std::wstring& path);
