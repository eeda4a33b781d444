#include "base/system_library_win32.h"

#include <cstring>

#include "base/error.h"
#include "base/system_message_win32.h"

namespace {

using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);

// Windows 8 and later have it, Windows 7 only with update KB2533623: looked up rather
// than imported, so that the executable still starts on a Windows 7 without it.
SetDefaultDllDirectoriesFn SetDefaultDllDirectoriesFunction() {
  HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");
  if (!kernel32) return nullptr;
  return reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void*>(::GetProcAddress(kernel32, "SetDefaultDllDirectories")));
}

// A library's own imports are looked for too. The LOAD_LIBRARY_SEARCH flags came with
// SetDefaultDllDirectories and limit that search to the system folder; without them,
// LOAD_WITH_ALTERED_SEARCH_PATH begins it in the library's own folder, the system
// folder, instead of the application's.
DWORD LoadFlags() {
  return SetDefaultDllDirectoriesFunction() ? LOAD_LIBRARY_SEARCH_SYSTEM32 : LOAD_WITH_ALTERED_SEARCH_PATH;
}

}  // namespace

void LimitLibrarySearchToSystemFolder() {
  const SetDefaultDllDirectoriesFn set_default_directories = SetDefaultDllDirectoriesFunction();
  if (set_default_directories && set_default_directories(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
  // This takes only the current folder out of the search; the application's folder stays
  // in it, which is why SystemLibrary names every library by its full path.
  ::SetDllDirectoryW(L"");
}

std::wstring SystemFolder() {
  // Windows cannot be installed in a folder whose system folder would not fit.
  wchar_t folder[MAX_PATH];
  const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    const DWORD code = ::GetLastError();
    throw Error(L"Cannot find the system folder. " + SystemMessage(code));
  }
  return std::wstring(folder, length);
}

SystemLibrary::SystemLibrary(const wchar_t* file_name)
    : path_(SystemFolder() + L"\\" + file_name), module_(::LoadLibraryExW(path_.c_str(), nullptr, LoadFlags())) {
  if (!module_) {
    const DWORD code = ::GetLastError();
    throw Error(L"Cannot load library \"" + path_ + L"\". " + SystemMessage(code));
  }
}

FARPROC SystemLibrary::Address(const char* name) const {
  const FARPROC address = ::GetProcAddress(module_, name);
  if (!address) {
    const DWORD code = ::GetLastError();
    throw Error(L"Cannot find " + std::wstring(name, name + std::strlen(name)) + L" in \"" + path_ + L"\". " +
                SystemMessage(code));
  }
  return address;
}
