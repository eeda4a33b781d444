#pragma once
// Where the utility's libraries come from. The executable imports only libraries that
// Windows never takes from the application's folder (see tests/tools/check_executable.sh);
// every other one is loaded here at run time, by its full path in the system folder, so
// that a file of the same name saved beside the utility or in its current folder is never
// taken. A library loaded here stays loaded for the rest of the run: the tables of
// functions bound from it are kept for the run.
#include <windows.h>

#include <string>

// Limits every later library search of the process to the system folder. The first call
// of the entry sequence: anything that runs before it may load a library from elsewhere.
void LimitLibrarySearchToSystemFolder();

// The system folder, e.g. "C:\Windows\system32". Raises Error when Windows does not give it.
std::wstring SystemFolder();

class SystemLibrary {
 public:
  // Loads `file_name` from the system folder. Raises Error:
  // Cannot load library "C:\Windows\system32\wininet.dll". <the system's reason>
  explicit SystemLibrary(const wchar_t* file_name);

  // Sets `function` to the library's export `name`. Raises Error:
  // Cannot find InternetOpenW in "C:\Windows\system32\wininet.dll". <the system's reason>
  template <typename Function>
  void Bind(Function& function, const char* name) const {
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(Address(name)));
  }

 private:
  FARPROC Address(const char* name) const;

  std::wstring path_;
  HMODULE module_;
};
