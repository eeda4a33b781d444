#include "setup/run_folder_win32.h"

#include <windows.h>
#include <sddl.h>
#include <aclapi.h>
#include <shlobj.h>

#include "base/error.h"
#include "base/system_library_win32.h"
#include "base/system_message_win32.h"
#include "base/unique_handle_win32.h"

namespace {

constexpr ULONG kUseSystemPreferredRng = 0x00000002;  // BCRYPT_USE_SYSTEM_PREFERRED_RNG
using BCryptGenRandomFunction = LONG(WINAPI*)(void* algorithm, unsigned char* buffer, ULONG size, ULONG flags);

struct LocalMemory {
  ~LocalMemory() { ::LocalFree(memory); }
  void* memory = nullptr;
};

std::uint64_t Ticks(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace

RunFolderSystemWin32::RunFolderSystemWin32() = default;
RunFolderSystemWin32::~RunFolderSystemWin32() = default;

std::wstring RunFolderSystemWin32::ProgramDataFolder() {
  PWSTR path = nullptr;
  const HRESULT result = ::SHGetKnownFolderPath(FOLDERID_ProgramData, 0, nullptr, &path);
  std::wstring folder = SUCCEEDED(result) && path ? path : L"";
  ::CoTaskMemFree(path);  // also on failure, as the documentation asks
  if (folder.empty()) throw Error(L"Cannot find the program data folder. " + SystemMessage(static_cast<DWORD>(result)));
  return folder;
}

std::vector<unsigned char> RunFolderSystemWin32::RandomBytes(std::size_t count) {
  // bcrypt.dll is no KnownDLL: taken from the system folder only.
  if (!bcrypt_) bcrypt_ = std::make_unique<SystemLibrary>(L"bcrypt.dll");
  BCryptGenRandomFunction gen_random = nullptr;
  bcrypt_->Bind(gen_random, "BCryptGenRandom");
  std::vector<unsigned char> bytes(count);
  const LONG status = gen_random(nullptr, bytes.data(), static_cast<ULONG>(bytes.size()), kUseSystemPreferredRng);
  if (status < 0) {
    wchar_t code[16];
    ::wsprintfW(code, L"0x%08lX", static_cast<unsigned long>(status));
    throw Error(std::wstring(L"Cannot get random numbers from the system: BCryptGenRandom gave status ") + code);
  }
  return bytes;
}

std::optional<std::wstring> RunFolderSystemWin32::MakeProtectedFolder(const std::wstring& path, bool& exists) {
  exists = false;
  LocalMemory descriptor;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(kRunFolderAccess, SDDL_REVISION_1,
                                                              &descriptor.memory, nullptr)) {
    return SystemMessage(::GetLastError());
  }
  SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor.memory, FALSE};
  // The list is set as the folder is made: there is no moment in which the folder has the
  // program data folder's list, which would let its creator's group in.
  if (::CreateDirectoryW(path.c_str(), &attributes)) return std::nullopt;
  const DWORD code = ::GetLastError();
  exists = code == ERROR_ALREADY_EXISTS;
  return SystemMessage(code);
}

std::vector<FolderEntry> RunFolderSystemWin32::List(const std::wstring& folder) {
  std::vector<FolderEntry> entries;
  WIN32_FIND_DATAW found;
  UniqueFileSearch search(::FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &found,
                                             FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
  if (!search) return entries;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    // Any reparse point counts as a link: a junction, a symbolic link, a mount point.
    const DWORD a = found.dwFileAttributes;
    const EntryKind kind = (a & FILE_ATTRIBUTE_REPARSE_POINT) ? EntryKind::Link
                           : (a & FILE_ATTRIBUTE_DIRECTORY)   ? EntryKind::Folder
                                                              : EntryKind::File;
    entries.push_back({name, kind});
  } while (::FindNextFileW(search.get(), &found));
  return entries;
}

FolderFacts RunFolderSystemWin32::Facts(const std::wstring& folder) {
  // Windows keeps the owner that O:BA set when an elevated administrator made the folder;
  // one that a standard user made in the program data folder (where anyone may) is theirs.
  FolderFacts facts{FolderOwner::Other, std::nullopt};
  PSID owner = nullptr;
  LocalMemory descriptor;
  if (::GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                              nullptr, nullptr, &descriptor.memory) == ERROR_SUCCESS &&
      owner) {
    if (::IsWellKnownSid(owner, WinLocalSystemSid)) facts.owner = FolderOwner::System;
    if (::IsWellKnownSid(owner, WinBuiltinAdministratorsSid)) facts.owner = FolderOwner::Administrators;
  }
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (::GetFileAttributesExW(folder.c_str(), GetFileExInfoStandard, &data)) {
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    const std::uint64_t made = Ticks(data.ftCreationTime), current = Ticks(now);
    if (made <= current) facts.age_ms = (current - made) / 10000;  // 100-ns steps
  }
  return facts;
}

bool RunFolderSystemWin32::RemoveFile(const std::wstring& path) {
  if (::DeleteFileW(path.c_str())) return true;
  // A read-only file is refused until it is made writable again.
  ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  return ::DeleteFileW(path.c_str()) != 0;
}

bool RunFolderSystemWin32::RemoveEmptyFolder(const std::wstring& path) {
  if (::RemoveDirectoryW(path.c_str())) return true;
  ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_DIRECTORY);
  return ::RemoveDirectoryW(path.c_str()) != 0;
}

bool RunFolderSystemWin32::RemoveLink(const std::wstring& path) {
  // Windows removes a junction or symbolic link itself, never its target: RemoveDirectoryW
  // for a link to a folder, DeleteFileW for one to a file.
  // Whichever fits is tried first; the other only fails where the first did.
  const DWORD a = ::GetFileAttributesW(path.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return true;
  if (a & FILE_ATTRIBUTE_DIRECTORY) return ::RemoveDirectoryW(path.c_str()) || ::DeleteFileW(path.c_str());
  return ::DeleteFileW(path.c_str()) || ::RemoveDirectoryW(path.c_str());
}

std::optional<std::wstring> RunFolderSystemWin32::CopyFileTo(const std::wstring& from, const std::wstring& to) {
  // The copy takes the access list of its new folder, not the run folder's. The old file
  // was removed just before: one there now was put in its place, perhaps as a link, and
  // CopyFileW would write through it with the utility's rights.
  if (::CopyFileW(from.c_str(), to.c_str(), TRUE)) return std::nullopt;
  return SystemMessage(::GetLastError());
}
