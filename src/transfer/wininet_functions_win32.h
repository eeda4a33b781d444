#pragma once
// WinINet as the download uses it, loaded from the system folder at the first use
// (base/system_library_win32.h): Windows would take a wininet.dll saved beside the
// utility were it imported, since it is not one of the KnownDLLs on every Windows.
#include <windows.h>
#include <wininet.h>

#include "base/unique_handle_win32.h"

struct WinInetFunctions {
  decltype(&::InternetCrackUrlW) InternetCrackUrlW;
  decltype(&::InternetOpenW) InternetOpenW;
  decltype(&::InternetSetOptionW) InternetSetOptionW;
  decltype(&::InternetQueryOptionW) InternetQueryOptionW;
  decltype(&::InternetConnectW) InternetConnectW;
  decltype(&::HttpOpenRequestW) HttpOpenRequestW;
  decltype(&::HttpSendRequestW) HttpSendRequestW;
  decltype(&::HttpQueryInfoW) HttpQueryInfoW;
  decltype(&::InternetQueryDataAvailable) InternetQueryDataAvailable;
  decltype(&::InternetReadFile) InternetReadFile;
  decltype(&::InternetCloseHandle) InternetCloseHandle;
  decltype(&::InternetErrorDlg) InternetErrorDlg;
};

// The functions, bound once. Raises Error when wininet.dll or one of them cannot be had;
// the next call then tries again.
const WinInetFunctions& WinInet();

struct InternetTraits {
  using Handle = HINTERNET;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { WinInet().InternetCloseHandle(h); }
};
using UniqueInternet = UniqueHandle<InternetTraits>;
