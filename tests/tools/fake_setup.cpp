// The setup program stand-in, packed at the top level of the test platform package as
// "KalveraSetup1c.exe". Like the real one it runs for a while under its own image name
// and leaves the platform installed: it copies the platform stand-in that the package
// carries ("platform\1cv8.exe" beside it) to the place the tests start it from.
//
// KALVERA_SETUP_MS: how long it runs before installing (default 3000).
#include <windows.h>

#include <string>

namespace {

constexpr wchar_t kInstalledPlatform[] = L"C:\\Program Files (x86)\\1cv8\\8.3.24.1467\\bin\\1cv8.exe";

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

std::wstring OwnFolder() {
  wchar_t path[MAX_PATH];
  const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  return FolderOf(std::wstring(path, length));
}

void MakeFolders(const std::wstring& folder) {
  for (size_t at = folder.find(L'\\', 3); at != std::wstring::npos; at = folder.find(L'\\', at + 1)) {
    ::CreateDirectoryW(folder.substr(0, at).c_str(), nullptr);
  }
  ::CreateDirectoryW(folder.c_str(), nullptr);
}

DWORD RunTime() {
  wchar_t value[32];
  const DWORD length = ::GetEnvironmentVariableW(L"KALVERA_SETUP_MS", value, 32);
  return length > 0 && length < 32 ? static_cast<DWORD>(std::wcstoul(value, nullptr, 10)) : 3000;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  ::Sleep(RunTime());
  MakeFolders(FolderOf(kInstalledPlatform));
  const std::wstring source = OwnFolder() + L"\\platform\\1cv8.exe";
  return ::CopyFileW(source.c_str(), kInstalledPlatform, FALSE) ? 0 : 1;
}
