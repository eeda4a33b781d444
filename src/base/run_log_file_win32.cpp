#include "base/run_log_file_win32.h"

#include <vector>

#include "base/unique_handle_win32.h"
#include "base/unlinked_path_win32.h"

namespace {

class FileSink : public LogSink {
 public:
  explicit FileSink(UniqueFile file) : file_(std::move(file)) {}
  bool Append(const std::string& bytes) override {
    DWORD written = 0;
    // Straight to the system, unbuffered here: a run that ends in a crash still has its
    // log up to the last event.
    return ::WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
  }

 private:
  UniqueFile file_;
};

std::vector<std::wstring> LogFolderNames(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  UniqueFileSearch search(::FindFirstFileW((folder + L"\\*.log").c_str(), &found));
  if (!search) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
  } while (::FindNextFileW(search.get(), &found));
  return names;
}

}  // namespace

std::function<std::uint64_t()> MillisecondsSinceNow() {
  return [start = ::GetTickCount64()] { return ::GetTickCount64() - start; };
}

LocalTime StartTime() {
  SYSTEMTIME t;
  ::GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

std::unique_ptr<LogSink> OpenRunLogFile(const std::wstring& folder, const std::wstring& file_name) {
  // The folder lies in a known folder of the person's, who may have put a link there.
  const size_t cut = folder.find_last_of(L'\\');
  if (cut == std::wstring::npos) return nullptr;
  const std::wstring known_folder = folder.substr(0, cut);
  const std::wstring folder_name = folder.substr(cut + 1);
  ::CreateDirectoryW(folder.c_str(), nullptr);  // already there is no failure
  if (LinkOnTheWay(known_folder, folder_name)) return nullptr;
  // CREATE_NEW makes the file or fails: a link of that name is never followed.
  UniqueFile file(::CreateFileW((folder + L"\\" + file_name).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return nullptr;
  // The folder could have been swapped for a link in between.
  if (LinkOnTheWay(known_folder, folder_name + L"\\" + file_name)) return nullptr;
  for (const std::wstring& old : RunLogsToRemove(LogFolderNames(folder), kRunLogsKept)) {
    RemoveUnlinkedFile(known_folder, folder_name + L"\\" + old);
  }
  return std::make_unique<FileSink>(std::move(file));
}

std::wstring WindowsVersionText() {
  // GetVersionExW answers what the manifest's compatibility list allows; ntdll's own
  // call gives the real version, and ntdll is in every process already.
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  auto get = ntdll ? reinterpret_cast<RtlGetVersionFn>(
                         reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlGetVersion")))
                   : nullptr;
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!get || get(&info) != 0) return L"Windows (version unknown)";
  return L"Windows " + std::to_wstring(info.dwMajorVersion) + L"." + std::to_wstring(info.dwMinorVersion) +
         L"." + std::to_wstring(info.dwBuildNumber);
}
