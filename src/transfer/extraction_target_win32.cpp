#include "transfer/extraction_target_win32.h"

#include <windows.h>

#include <utility>

#include "base/system_message_win32.h"

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// How long a program that slipped in between the writer's close and the hold may keep
// the file open before the hold is given up as not to be had.
constexpr ULONGLONG kHoldRetryMs = 1000;

// Closing the writer and opening the file again at once leaves the least time in which
// another process could open it for writing. Read sharing alone still lets the command
// processor start the program (CreateProcess opens the image for reading and executing,
// which read sharing covers); a writer kept open would stop that with a sharing violation.
// A program that did slip in and still has the file open for writing makes the hold fail
// with ERROR_SHARING_VIOLATION (Windows checks a new open's sharing against every open
// handle): it is tried again while that program lets go, and otherwise said, so that
// nothing runs from a file that is not held.
class HeldOnClose : public OutputFile {
 public:
  HeldOnClose(std::unique_ptr<OutputFile> writer, std::wstring path, FileHold& hold)
      : writer_(std::move(writer)), path_(std::move(path)), hold_(hold) {}
  ~HeldOnClose() override {
    writer_.reset();
    const ULONGLONG until = ::GetTickCount64() + kHoldRetryMs;
    for (;;) {
      hold_.held.reset(::CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
      if (hold_.held) return;
      const DWORD error = ::GetLastError();
      if (error != ERROR_SHARING_VIOLATION || ::GetTickCount64() >= until) {
        hold_.failure = L"Cannot keep file \"" + path_ + L"\" from being changed by other programs. " +
                        SystemMessage(error);
        return;
      }
      ::Sleep(1);
    }
  }
  bool Write(const unsigned char* data, std::size_t size) override { return writer_->Write(data, size); }
  void Finish(const std::optional<LocalDateTime>& time, std::optional<std::uint32_t> attributes) override {
    writer_->Finish(time, attributes);
  }
  std::unique_ptr<ArchiveInput> KeepForReading() override { return writer_->KeepForReading(); }

 private:
  std::unique_ptr<OutputFile> writer_;
  std::wstring path_;
  FileHold& hold_;
};

}  // namespace

bool ExtractionTargetWin32::IsHeld(const std::wstring& path) const {
  // Names differ only in case on the same file.
  return hold_ && !hold_->path.empty() &&
         ::CompareStringOrdinal(path.c_str(), -1, hold_->path.c_str(), -1, TRUE) == CSTR_EQUAL;
}

std::unique_ptr<OutputFile> ExtractionTargetWin32::Create(const std::wstring& path, std::wstring& reason) {
  std::unique_ptr<OutputFile> file = files_.Create(path, reason);
  if (!file || !IsHeld(path)) return file;
  return std::make_unique<HeldOnClose>(std::move(file), path, *hold_);
}

void ExtractionTargetWin32::Remove(const std::wstring& path) {
  // A damaged or abandoned file goes whole, also the one that would have been held.
  if (IsHeld(path)) hold_->held.reset();
  files_.Remove(path);
}

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
