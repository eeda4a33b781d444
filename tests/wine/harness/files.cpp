#include "files.h"

#include <windows.h>

#include <algorithm>
#include <stdexcept>

#include "base/unique_handle_win32.h"
#include "environment.h"

namespace harness {

namespace {

[[noreturn]] void Fail(const char* what, const std::wstring& path) {
  throw std::runtime_error(std::string(what) + " \"" + ToUtf8(path) + "\" (error " +
                           std::to_string(::GetLastError()) + ")");
}

}  // namespace

std::string ToUtf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                         0, nullptr, nullptr);
  std::string out(size, '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr,
                        nullptr);
  return out;
}

std::wstring FromUtf8(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int size = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(size, L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
  return out;
}

bool FileExists(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void MakeDirectories(const std::wstring& folder) {
  for (size_t i = 0; i <= folder.size(); ++i) {
    if (i != folder.size() && folder[i] != L'\\' && folder[i] != L'/') continue;
    const std::wstring prefix = folder.substr(0, i);
    if (prefix.empty() || prefix.back() == L':' || DirectoryExists(prefix)) continue;
    if (!::CreateDirectoryW(prefix.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) {
      Fail("cannot make folder", prefix);
    }
  }
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  MakeDirectories(FolderOf(path));
  UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) Fail("cannot create file", path);
  DWORD written = 0;
  if (!::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
      written != bytes.size()) {
    Fail("cannot write file", path);
  }
}

std::string ReadFileBytes(const std::wstring& path) {
  // Shared every way, so that a program still writing the file is not disturbed.
  UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) Fail("cannot open file", path);
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  while (::ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) bytes.append(buffer, read);
  return bytes;
}

std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring ServedPath(const std::wstring& url_path) {
  std::wstring relative = url_path;
  while (!relative.empty() && relative.front() == L'/') relative.erase(0, 1);
  for (wchar_t& c : relative) {
    if (c == L'/') c = L'\\';
  }
  return HttpRoot() + L"\\" + relative;
}

void ServeFile(const std::wstring& url_path, const std::string& bytes) { WriteFileBytes(ServedPath(url_path), bytes); }

std::vector<std::wstring> FileNamesIn(const std::wstring& folder, const std::wstring& pattern) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found{};
  UniqueFileSearch search(::FindFirstFileW((folder + L"\\" + pattern).c_str(), &found));
  if (!search) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
  } while (::FindNextFileW(search.get(), &found));
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace harness
