// A stand-in for the 1C:Enterprise platform in the Wine tests; never shipped.
//
// It logs what it received next to its own executable (1cv8_calls.log), then:
//  - ENTERPRISE, or no arguments: user mode, a visible window until WM_CLOSE, whose
//    status bar shows the arguments and whose progress bar stands at 250 of 0..1000;
//  - createinfobase File=<folder>: makes the folder and an empty infobase file in it;
//  - CONFIG /F <folder> /LoadCfg <file>: copies the file to <folder>\loaded.cf;
//  - CONFIG /F <folder> /UpdateDBCfg: copies <folder>\loaded.cf to <folder>\applied.cf.
// Server bases (/S) are only logged. A batch run lingers KALVERA_STANDIN_BATCH_MS
// (default 2000) before it ends, so that the utility's 1 s polls see it running.
#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>
#include <vector>

#include "platform_arguments.h"
#include "standin_log.h"

namespace {

constexpr wchar_t kWindowClass[] = L"StandIn1cv8";
constexpr wchar_t kWindowCaption[] = L"1C:Enterprise stand-in";
constexpr DWORD kDefaultBatchMilliseconds = 2000;
// The user-mode window's controls: the same kinds, in the same modes, as the utility's, so
// the harness's cross-process readers are checked against contents known beforehand.
constexpr int kStatusBarId = 1;
constexpr int kProgressBarId = 2;

bool EqualsIgnoringCase(const std::wstring& a, const wchar_t* b) {
  return ::CompareStringOrdinal(a.c_str(), -1, b, -1, TRUE) == CSTR_EQUAL;
}

bool StartsWithIgnoringCase(const std::wstring& text, const std::wstring& prefix) {
  return text.size() >= prefix.size() &&
         ::CompareStringOrdinal(text.c_str(), static_cast<int>(prefix.size()), prefix.c_str(),
                                static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL;
}

std::wstring OwnFolder() {
  std::wstring path(32768, L'\0');
  const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length);
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string out(size, '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
  return out;
}

// Two runs may start at once (the utility starts one while the last one ends, and the
// tests start several): a writer shares the file with readers only, and the other writer
// waits its turn. The block goes out in one write so that readers never see half of it.
void AppendToLog(const std::wstring& block) {
  const std::wstring path = OwnFolder() + L"1cv8_calls.log";
  const std::string bytes = Utf8(block);
  for (int attempt = 0; attempt < 250; ++attempt) {
    HANDLE file = ::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
      ::CloseHandle(file);
      return;
    }
    if (::GetLastError() != ERROR_SHARING_VIOLATION) return;
    ::Sleep(20);
  }
}

DWORD BatchMilliseconds() {
  wchar_t value[32] = {};
  const DWORD length = ::GetEnvironmentVariableW(L"KALVERA_STANDIN_BATCH_MS", value, 32);
  if (length == 0 || length >= 32) return kDefaultBatchMilliseconds;
  return static_cast<DWORD>(std::wcstoul(value, nullptr, 10));
}

// Makes `folder` and every missing parent; either separator may appear, since the
// utility's default base folder is written with forward slashes.
void MakeFolders(const std::wstring& folder) {
  for (size_t i = 0; i <= folder.size(); ++i) {
    if (i == folder.size() || folder[i] == L'\\' || folder[i] == L'/') {
      const std::wstring prefix = folder.substr(0, i);
      if (!prefix.empty() && prefix.back() != L':') ::CreateDirectoryW(prefix.c_str(), nullptr);
    }
  }
}

std::wstring InFolder(const std::wstring& folder, const wchar_t* name) {
  if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') return folder + L"\\" + name;
  return folder + name;
}

// The value of a switch given either as the next argument (/F "C:\base") or attached
// to it (/F"C:\base").
std::optional<std::wstring> SwitchValue(const std::vector<std::wstring>& args, const std::wstring& name) {
  for (size_t i = 1; i < args.size(); ++i) {
    if (EqualsIgnoringCase(args[i], name.c_str())) {
      if (i + 1 < args.size()) return args[i + 1];
      return std::nullopt;
    }
    if (StartsWithIgnoringCase(args[i], name)) return args[i].substr(name.size());
  }
  return std::nullopt;
}

bool HasSwitch(const std::vector<std::wstring>& args, const wchar_t* name) {
  for (size_t i = 1; i < args.size(); ++i) {
    if (EqualsIgnoringCase(args[i], name)) return true;
  }
  return false;
}

void CreateInfobase(const std::vector<std::wstring>& args) {
  for (size_t i = 1; i < args.size(); ++i) {
    if (!StartsWithIgnoringCase(args[i], L"File=")) continue;
    const std::wstring folder = args[i].substr(5);
    MakeFolders(folder);
    HANDLE file = ::CreateFileW(InFolder(folder, L"1Cv8.1CD").c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      const char content[] = "stand-in infobase\n";
      DWORD written = 0;
      ::WriteFile(file, content, sizeof(content) - 1, &written, nullptr);
      ::CloseHandle(file);
    }
    return;
  }
}

void Configure(const std::vector<std::wstring>& args) {
  const std::optional<std::wstring> folder = SwitchValue(args, L"/F");
  if (!folder) return;  // a server base is only logged
  if (const std::optional<std::wstring> cf = SwitchValue(args, L"/LoadCfg")) {
    ::CopyFileW(cf->c_str(), InFolder(*folder, L"loaded.cf").c_str(), FALSE);
  }
  if (HasSwitch(args, L"/UpdateDBCfg")) {
    ::CopyFileW(InFolder(*folder, L"loaded.cf").c_str(), InFolder(*folder, L"applied.cf").c_str(), FALSE);
  }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  // Ends without hiding the window first: with no window manager, Wine waits 2 s for a
  // hidden top-level window to be withdrawn, and the tests close many stand-ins.
  if (message == WM_CLOSE || message == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

void AddControls(HWND window, HINSTANCE instance, const std::vector<std::wstring>& args) {
  std::wstring shown;
  for (const std::wstring& arg : args) shown += (shown.empty() ? L"" : L" ") + arg;
  HWND status = ::CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window,
                                  reinterpret_cast<HMENU>(kStatusBarId), instance, nullptr);
  ::SendMessageW(status, SB_SIMPLE, TRUE, 0);
  ::SendMessageW(status, SB_SETTEXTW, 255, reinterpret_cast<LPARAM>(shown.c_str()));
  HWND bar = ::CreateWindowExW(0, PROGRESS_CLASSW, nullptr, WS_CHILD | WS_VISIBLE, 10, 10, 380, 20, window,
                               reinterpret_cast<HMENU>(kProgressBarId), instance, nullptr);
  ::SendMessageW(bar, PBM_SETRANGE32, 0, 1000);
  ::SendMessageW(bar, PBM_SETPOS, 250, 0);
}

int RunUserMode(HINSTANCE instance, const std::vector<std::wstring>& args) {
  INITCOMMONCONTROLSEX common{sizeof(common), ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
  ::InitCommonControlsEx(&common);
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance;
  window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  window_class.lpszClassName = kWindowClass;
  if (!::RegisterClassW(&window_class)) return 1;
  HWND window = ::CreateWindowExW(0, kWindowClass, kWindowCaption, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 420, 200, nullptr, nullptr, instance,
                                  nullptr);
  if (!window) return 1;
  AddControls(window, instance, args);
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  const std::wstring raw = ::GetCommandLineW();
  const PlatformCommandLine line = ParsePlatformCommandLine(raw);
  AppendToLog(FormatStandInRun({::GetCurrentProcessId(), raw, line.arguments}));

  const std::vector<std::wstring>& args = line.arguments;
  if (args.empty() || EqualsIgnoringCase(args[0], L"ENTERPRISE")) return RunUserMode(instance, args);
  if (EqualsIgnoringCase(args[0], L"createinfobase")) {
    CreateInfobase(args);
  } else if (EqualsIgnoringCase(args[0], L"CONFIG")) {
    Configure(args);
  }
  ::Sleep(BatchMilliseconds());
  return 0;
}
