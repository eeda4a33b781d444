#include "base/unlinked_path_win32.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "base/reparse_rules.h"
#include "base/system_message_win32.h"
#include "base/unique_handle_win32.h"

namespace {

// FILE_FLAG_OPEN_REPARSE_POINT opens a link itself rather than what it points to;
// FILE_FLAG_BACKUP_SEMANTICS lets a folder be opened at all.
UniqueFile OpenUnfollowed(const std::wstring& path, DWORD access) {
  return UniqueFile(::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                                  nullptr));
}

bool IsLink(HANDLE item) {
  FILE_ATTRIBUTE_TAG_INFO info{};
  if (!::GetFileInformationByHandleEx(item, FileAttributeTagInfo, &info, sizeof info)) {
    BY_HANDLE_FILE_INFORMATION basic{};
    // Not even its attributes: nothing tells that it is no link.
    if (!::GetFileInformationByHandle(item, &basic)) return true;
    return (basic.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;  // a tag that cannot be read
  }
  if (!(info.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
  return IsLinkTag(info.ReparseTag);
}

std::optional<std::wstring> FinalPath(HANDLE item) {
  std::vector<wchar_t> buffer(32768);
  const DWORD size = ::GetFinalPathNameByHandleW(item, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                 FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  if (size == 0 || size >= buffer.size()) return std::nullopt;
  return OrdinaryFinalPath(std::wstring(buffer.data(), size));
}

// The check, leaving the item open with `access` in `item` when it passes.
std::optional<std::wstring> Check(const std::wstring& known_folder, const std::wstring& tail, DWORD access,
                                  UniqueFile& item) {
  // The known folder is followed on purpose: Windows itself may have redirected it.
  UniqueFile known(::CreateFileW(known_folder.c_str(), FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!known) return L"its folder \"" + known_folder + L"\" cannot be opened: " + SystemMessage(::GetLastError());
  const std::optional<std::wstring> known_final = FinalPath(known.get());
  if (!known_final) return L"its folder's final path cannot be read";
  std::wstring path = known_folder;
  for (size_t start = 0; start <= tail.size();) {
    const size_t end = std::min(tail.find(L'\\', start), tail.size());
    path += L"\\" + tail.substr(start, end - start);
    const bool last = end == tail.size();
    UniqueFile step = OpenUnfollowed(path, last ? access : FILE_READ_ATTRIBUTES);
    if (!step) {
      const DWORD code = ::GetLastError();
      const DWORD attributes = ::GetFileAttributesW(path.c_str());
      if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;  // nothing there yet
      // Wine 8 cannot open a symbolic link itself (ERROR_FILE_NOT_FOUND, measured), while
      // its attributes show the reparse point: a link whose tag cannot be read.
      if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return L"\"" + path + L"\" is a junction or a symbolic link";
      return L"\"" + path + L"\" cannot be opened without following a link: " + SystemMessage(code);
    }
    if (IsLink(step.get())) return L"\"" + path + L"\" is a junction or a symbolic link";
    if (last) item = std::move(step);
    start = end + 1;
  }
  const std::optional<std::wstring> reached = FinalPath(item.get());
  if (!reached || !ReachedBelow(*reached, *known_final, tail)) {
    return L"it is reached as \"" + reached.value_or(L"?") + L"\", not below \"" + *known_final + L"\"";
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::wstring> LinkOnTheWay(const std::wstring& known_folder, const std::wstring& tail) {
  UniqueFile item;
  return Check(known_folder, tail, FILE_READ_ATTRIBUTES, item);
}

bool RemoveUnlinkedFile(const std::wstring& known_folder, const std::wstring& tail) {
  UniqueFile item;
  if (Check(known_folder, tail, DELETE | FILE_READ_ATTRIBUTES, item) || !item) return false;
  // Deleted through the handle: the name cannot be swapped for a link in between.
  FILE_DISPOSITION_INFO disposition{TRUE};
  return ::SetFileInformationByHandle(item.get(), FileDispositionInfo, &disposition, sizeof disposition) != 0;
}
