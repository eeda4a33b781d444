#include "transfer/extraction_target_win32.h"

#include <windows.h>

#include <algorithm>
#include <optional>

#include "base/unique_handle_win32.h"
#include "base/system_message_win32.h"

namespace {

std::optional<FILETIME> UtcStamp(const LocalDateTime& time) {
  SYSTEMTIME local{};
  local.wYear = static_cast<WORD>(time.year);
  local.wMonth = static_cast<WORD>(time.month);
  local.wDay = static_cast<WORD>(time.day);
  local.wHour = static_cast<WORD>(time.hour);
  local.wMinute = static_cast<WORD>(time.minute);
  local.wSecond = static_cast<WORD>(time.second);
  SYSTEMTIME utc{};
  FILETIME stamp{};
  // The zone's rule for that date, so a summer date in winter still gets summer time.
  if (!::TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc)) return std::nullopt;
  if (!::SystemTimeToFileTime(&utc, &stamp)) return std::nullopt;
  return stamp;
}

class ExtractedFileWin32 : public ExtractedFile {
 public:
  explicit ExtractedFileWin32(UniqueFile file) : file_(std::move(file)) {}

  bool Write(const unsigned char* data, std::size_t size) override {
    while (size > 0) {
      const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
      DWORD written = 0;
      if (!::WriteFile(file_.get(), data, ask, &written, nullptr) || written != ask) return false;
      data += written;
      size -= written;
    }
    return true;
  }

  // Set through the handle that wrote the data, times and attributes in one call: no
  // second open of the file by name, which costs round trips to the server under Wine, and
  // times set on a handle stay when it closes. A read-only attribute set here does not
  // stop the close; nothing is written after it.
  void Finish(const std::optional<LocalDateTime>& time,
              std::optional<std::uint32_t> attributes) override {
    FILE_BASIC_INFO info{};  // a zero field is left as it is
    if (time) {
      if (const std::optional<FILETIME> stamp = UtcStamp(*time)) {
        info.CreationTime.LowPart = info.LastWriteTime.LowPart = stamp->dwLowDateTime;
        info.CreationTime.HighPart = info.LastWriteTime.HighPart = static_cast<LONG>(stamp->dwHighDateTime);
      }
    }
    if (attributes) {
      // What SetFileAttributesW would keep of them; none at all is "normal", since a zero
      // here would mean "leave them".
      const DWORD kept = *attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                        FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
      info.FileAttributes = kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL;
    }
    if (info.LastWriteTime.QuadPart == 0 && info.FileAttributes == 0) return;
    ::SetFileInformationByHandle(file_.get(), FileBasicInfo, &info, sizeof info);
  }

 private:
  UniqueFile file_;
};

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

std::unique_ptr<ExtractedFile> ExtractionTargetWin32::Create(const std::wstring& path,
                                                             std::wstring& reason) {
  UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    reason = SystemMessage(::GetLastError());
    return nullptr;
  }
  return std::make_unique<ExtractedFileWin32>(std::move(file));
}

void ExtractionTargetWin32::Remove(const std::wstring& path) { ::DeleteFileW(path.c_str()); }
