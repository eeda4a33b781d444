// The setup program stand-in, packed at the top level of the test platform package as
// "KalveraSetup1c.exe". Like the real one it runs for a while under its own image name
// and leaves the platform installed: it copies the platform stand-in that the package
// carries ("platform\1cv8.exe" beside it) to the place the tests start it from.
//
// KALVERA_SETUP_MS: how long it runs before installing (default 3000).
// KALVERA_TEST_TMP: where it appends "<its own path>\n<its current folder>\n" to
// setup_runs.txt, so that a test sees where it was started from.
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

void RecordRun() {
  wchar_t tmp[MAX_PATH], image[MAX_PATH], current[MAX_PATH];
  const DWORD tmp_length = ::GetEnvironmentVariableW(L"KALVERA_TEST_TMP", tmp, MAX_PATH);
  if (tmp_length == 0 || tmp_length >= MAX_PATH) return;
  const DWORD image_length = ::GetModuleFileNameW(nullptr, image, MAX_PATH);
  const DWORD current_length = ::GetCurrentDirectoryW(MAX_PATH, current);
  const std::wstring record = std::wstring(image, image_length) + L"\n" + std::wstring(current, current_length) + L"\n";
  const HANDLE file = ::CreateFileW((std::wstring(tmp, tmp_length) + L"\\setup_runs.txt").c_str(), FILE_APPEND_DATA,
                                    FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  ::WriteFile(file, record.data(), static_cast<DWORD>(record.size() * sizeof(wchar_t)), &written, nullptr);
  ::CloseHandle(file);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  RecordRun();
  ::Sleep(RunTime());
  MakeFolders(FolderOf(kInstalledPlatform));
  const std::wstring source = OwnFolder() + L"\\platform\\1cv8.exe";
  return ::CopyFileW(source.c_str(), kInstalledPlatform, FALSE) ? 0 : 1;
}
