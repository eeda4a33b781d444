#pragma once
// Unpacked entries as real folders and files.
#include <string>

#include "base/unique_handle_win32.h"
#include "transfer/extraction_target.h"
#include "transfer/output_files_win32.h"

// The one unpacked file to keep open once written (Unzipper::HoldOnceWritten).
struct FileHold {
  std::wstring path;  // as the extraction names it, in any case; empty: none
  UniqueFile held;
  std::wstring failure;  // why the file, once written, could not be held; empty: it was, or not yet written
};

class ExtractionTargetWin32 : public ExtractionTarget {
 public:
  explicit ExtractionTargetWin32(FileHold* hold = nullptr) : hold_(hold) {}
  std::wstring FullPath(const std::wstring& path) override;
  void MakeFolders(const std::wstring& folder) override;
  std::unique_ptr<OutputFile> Create(const std::wstring& path, std::wstring& reason) override;
  void Remove(const std::wstring& path) override;
  std::optional<std::uint64_t> FreeBytes(const std::wstring& folder) override { return files_.FreeBytes(folder); }

 private:
  bool IsHeld(const std::wstring& path) const;

  WindowsOutputFiles files_;  // the same files the download writes
  FileHold* hold_;
};

// `path` made absolute from the current folder (GetFullPathNameW); unchanged when the
// system cannot.
std::wstring FullPathName(const std::wstring& path);
