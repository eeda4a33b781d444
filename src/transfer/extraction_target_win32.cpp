#include "transfer/extraction_target_win32.h"

#include <windows.h>

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

}  // namespace

std::wstring FullPathName(const std::wstring& path) {
  std::wstring full(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    const DWORD length = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()),
                                            full.data(), nullptr);
    if (length == 0) return path;
    if (length < full.size()) {
      full.resize(length);
      return full;
    }
    full.resize(length);  // the size asked for includes the closing NUL
  }
  return path;
}

std::wstring ExtractionTargetWin32::FullPath(const std::wstring& path) {
  return FullPathName(path);
}

void ExtractionTargetWin32::MakeFolders(const std::wstring& folder) {
  std::wstring path = folder;
  while (path.size() > 1 && IsSeparator(path.back())) path.pop_back();
  if (path.empty() || path.back() == L':') return;  // a drive's root is always there
  if (::CreateDirectoryW(path.c_str(), nullptr)) return;
  if (::GetLastError() != ERROR_PATH_NOT_FOUND) return;  // there already, or not to be made
  const std::size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos || slash == 0) return;
  MakeFolders(path.substr(0, slash));
  ::CreateDirectoryW(path.c_str(), nullptr);
}
