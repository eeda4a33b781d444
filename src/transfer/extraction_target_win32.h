#pragma once
// Unpacked entries as real folders and files.
#include <string>

#include "transfer/extraction_target.h"
#include "transfer/output_files_win32.h"

class ExtractionTargetWin32 : public ExtractionTarget {
 public:
  std::wstring FullPath(const std::wstring& path) override;
  void MakeFolders(const std::wstring& folder) override;
  std::unique_ptr<OutputFile> Create(const std::wstring& path, std::wstring& reason) override {
    return files_.Create(path, reason);
  }
  void Remove(const std::wstring& path) override { files_.Remove(path); }

 private:
  WindowsOutputFiles files_;  // the same files the download writes
};

// `path` made absolute from the current folder (GetFullPathNameW); unchanged when the
// system cannot.
std::wstring FullPathName(const std::wstring& path);
