#include "transfer/output_files_win32.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "base/unique_handle_win32.h"
#include "base/system_message_win32.h"
#include "transfer/archive_file_win32.h"

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

class WindowsOutputFile : public OutputFile {
 public:
  explicit WindowsOutputFile(UniqueFile file) : file_(std::move(file)) {}

  // Windows deletes a file whose disposition says so when its last handle closes, also
  // when the process ends without closing it; the mark can be taken back on the same
  // handle (unlike FILE_FLAG_DELETE_ON_CLOSE).
  bool MarkDeleted(bool deleted) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = deleted ? TRUE : FALSE;
    return ::SetFileInformationByHandle(file_.get(), FileDispositionInfo, &disposition, sizeof disposition) != 0;
  }
  void Keep() override { MarkDeleted(false); }

  bool Truncate() override {
    LARGE_INTEGER start{};
    return ::SetFilePointerEx(file_.get(), start, nullptr, FILE_BEGIN) && ::SetEndOfFile(file_.get());
  }

  bool Write(const unsigned char* data, std::size_t size) override {
    // WriteFile takes a DWORD count; chunks of 1 GiB stay well inside it.
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

  // The handle was opened shared with no one (Create), so while the reader holds it no
  // other process can open the file to write it, rename it over or delete it.
  std::unique_ptr<ArchiveInput> KeepForReading() override {
    return std::make_unique<ArchiveFileWin32>(std::move(file_));
  }

 private:
  UniqueFile file_;
};

}  // namespace

std::unique_ptr<OutputFile> WindowsOutputFiles::Create(const std::wstring& path,
                                                       std::wstring& reason) {
  // No sharing: a second download into the same file fails to create it rather than
  // interleaving with the first.
  const DWORD access = GENERIC_READ | GENERIC_WRITE | (deleted_unless_kept_ ? DELETE : 0);
  UniqueFile file(::CreateFileW(path.c_str(), access, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    reason = SystemMessage(::GetLastError());
    return nullptr;
  }
  auto created = std::make_unique<WindowsOutputFile>(std::move(file));
  if (deleted_unless_kept_) created->MarkDeleted(true);  // without the mark, the core still removes it
  return created;
}

void WindowsOutputFiles::Remove(const std::wstring& path) { ::DeleteFileW(path.c_str()); }

std::optional<std::uint64_t> WindowsOutputFiles::FreeBytes(const std::wstring& folder) {
  // The count available to the caller, not the volume's total free: a disk quota limits
  // this account alone. Any folder of the volume serves, with or without its final "\".
  ULARGE_INTEGER available{};
  if (!::GetDiskFreeSpaceExW(folder.empty() ? nullptr : folder.c_str(), &available, nullptr, nullptr)) {
    return std::nullopt;
  }
  return available.QuadPart;
}
