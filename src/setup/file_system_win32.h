#pragma once
// The chain's folder and file operations on kernel32.
#include "setup/file_system.h"

class FileSystemWin32 : public FileSystem {
 public:
  std::optional<std::wstring> MakeFolder(const std::wstring& path) override;
  bool FolderExists(const std::wstring& path) override;
  bool FileExists(const std::wstring& path) override;
  bool RemoveFile(const std::wstring& path) override;
  std::optional<std::wstring> LinkOnTheWay(const std::wstring& known_folder, const std::wstring& tail) override;
  bool RemoveUnlinkedFile(const std::wstring& known_folder, const std::wstring& tail) override;
};
