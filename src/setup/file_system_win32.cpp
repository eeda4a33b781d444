#include "setup/file_system_win32.h"

#include <windows.h>

#include "base/system_message_win32.h"
#include "base/unlinked_path_win32.h"

std::optional<std::wstring> FileSystemWin32::MakeFolder(const std::wstring& path) {
  if (::CreateDirectoryW(path.c_str(), nullptr)) return std::nullopt;
  return SystemMessage(::GetLastError());
}

bool FileSystemWin32::FolderExists(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileSystemWin32::FileExists(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileSystemWin32::RemoveFile(const std::wstring& path) { return ::DeleteFileW(path.c_str()) != 0; }

std::optional<std::wstring> FileSystemWin32::LinkOnTheWay(const std::wstring& known_folder, const std::wstring& tail) {
  return ::LinkOnTheWay(known_folder, tail);
}

bool FileSystemWin32::RemoveUnlinkedFile(const std::wstring& known_folder, const std::wstring& tail) {
  return ::RemoveUnlinkedFile(known_folder, tail);
}
