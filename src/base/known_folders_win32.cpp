#include "base/known_folders_win32.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <string>

#include "base/system_message_win32.h"
#include "base/unique_handle_win32.h"

namespace {

// The shell allocates the answer; it is freed even when the call fails.
struct ShellText {
  PWSTR text = nullptr;
  ~ShellText() { ::CoTaskMemFree(text); }
};

const KNOWNFOLDERID& IdOf(user_paths::KnownFolder folder) {
  switch (folder) {
    case user_paths::KnownFolder::Documents: return FOLDERID_Documents;
    case user_paths::KnownFolder::Downloads: return FOLDERID_Downloads;
    case user_paths::KnownFolder::Profile: break;
  }
  return FOLDERID_Profile;
}

}  // namespace

user_paths::FolderAnswer KnownFoldersWin32::Path(user_paths::KnownFolder folder) {
  // The token of the process itself, so that the folder is its account's own and never the
  // profile of another account of the same name. Without one the shell asks the same token.
  HANDLE raw_token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY | TOKEN_IMPERSONATE | TOKEN_DUPLICATE, &raw_token)) {
    raw_token = nullptr;
  }
  const UniqueKernelHandle token(raw_token);
  ShellText path;
  // Not verified: a share that is slow to answer is not waited for here; making a folder in
  // it later reports it plainly.
  const HRESULT result = ::SHGetKnownFolderPath(IdOf(folder), KF_FLAG_DONT_VERIFY, token.get(), &path.text);
  if (FAILED(result) || !path.text || !*path.text) {
    const DWORD code = HRESULT_FACILITY(result) == FACILITY_WIN32 ? HRESULT_CODE(result) : static_cast<DWORD>(result);
    return {L"", L"failed: " + SystemMessage(code)};
  }
  return {path.text, L""};
}

bool KnownFoldersWin32::DriveSeen(wchar_t letter) {
  const wchar_t root[] = {letter, L':', L'\\', L'\0'};
  return ::GetDriveTypeW(root) != DRIVE_NO_ROOT_DIR;
}

bool KnownFoldersWin32::SameName(const std::wstring& a, const std::wstring& b) {
  return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}
