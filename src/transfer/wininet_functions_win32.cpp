#include "transfer/wininet_functions_win32.h"

#include "base/system_library_win32.h"

const WinInetFunctions& WinInet() {
  static const WinInetFunctions functions = [] {
    const SystemLibrary library(L"wininet.dll");
    WinInetFunctions f{};
    library.Bind(f.InternetCrackUrlW, "InternetCrackUrlW");
    library.Bind(f.InternetOpenW, "InternetOpenW");
    library.Bind(f.InternetSetOptionW, "InternetSetOptionW");
    library.Bind(f.InternetQueryOptionW, "InternetQueryOptionW");
    library.Bind(f.InternetConnectW, "InternetConnectW");
    library.Bind(f.HttpOpenRequestW, "HttpOpenRequestW");
    library.Bind(f.HttpSendRequestW, "HttpSendRequestW");
    library.Bind(f.HttpQueryInfoW, "HttpQueryInfoW");
    library.Bind(f.InternetQueryDataAvailable, "InternetQueryDataAvailable");
    library.Bind(f.InternetReadFile, "InternetReadFile");
    library.Bind(f.InternetCloseHandle, "InternetCloseHandle");
    library.Bind(f.InternetErrorDlg, "InternetErrorDlg");
    return f;
  }();
  return functions;
}
