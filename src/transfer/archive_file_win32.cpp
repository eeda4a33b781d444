#include "transfer/archive_file_win32.h"

#include <utility>

#include "base/error.h"
#include "base/system_message_win32.h"
#include "transfer/extraction_target_win32.h"
#include "transfer/zip_extractor.h"

ArchiveFileWin32::ArchiveFileWin32(const std::wstring& path)
    : file_(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_FLAG_SEQUENTIAL_SCAN, nullptr)) {
  if (!file_) {
    const DWORD code = ::GetLastError();
    throw Error(FileFailureText(L"open", FullPathName(path), SystemMessage(code)));
  }
  ReadSize();
}

ArchiveFileWin32::ArchiveFileWin32(UniqueFile file) : file_(std::move(file)) {
  Seek(0);
  ReadSize();
}

void ArchiveFileWin32::ReadSize() {
  LARGE_INTEGER size{};
  // A size that cannot be read counts as an empty file, which the reader refuses.
  if (::GetFileSizeEx(file_.get(), &size)) size_ = static_cast<std::uint64_t>(size.QuadPart);
}

void ArchiveFileWin32::Seek(std::uint64_t position) {
  LARGE_INTEGER to{};
  to.QuadPart = static_cast<LONGLONG>(position);
  ::SetFilePointerEx(file_.get(), to, nullptr, FILE_BEGIN);
}

std::size_t ArchiveFileWin32::Read(unsigned char* buffer, std::size_t count) {
  std::size_t done = 0;
  while (done < count) {
    const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(count - done, 1u << 30));
    DWORD got = 0;
    if (!::ReadFile(file_.get(), buffer + done, ask, &got, nullptr) || got == 0) break;
    done += got;
  }
  return done;
}
