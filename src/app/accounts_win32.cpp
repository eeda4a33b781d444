#include "app/accounts_win32.h"

#include <windows.h>
#include <wtsapi32.h>

#include <string>
#include <vector>

#include "base/error.h"
#include "base/system_library_win32.h"
#include "base/unique_handle_win32.h"

namespace {

// wtsapi32.dll is no KnownDLL: it comes from the system folder at run time.
struct WtsFunctions {
  decltype(&::WTSQuerySessionInformationW) WTSQuerySessionInformationW = nullptr;
  decltype(&::WTSFreeMemory) WTSFreeMemory = nullptr;
};

// Nothing when the library cannot be had: the session's account is then unknown.
const WtsFunctions* Wts() {
  static const std::optional<WtsFunctions> functions = []() -> std::optional<WtsFunctions> {
    try {
      const SystemLibrary library(L"wtsapi32.dll");
      WtsFunctions f;
      library.Bind(f.WTSQuerySessionInformationW, "WTSQuerySessionInformationW");
      library.Bind(f.WTSFreeMemory, "WTSFreeMemory");
      return f;
    } catch (const Error&) {
      return std::nullopt;
    }
  }();
  return functions ? &*functions : nullptr;
}

// Memory the session query hands out is the query library's to free.
struct WtsText {
  wchar_t* text = nullptr;
  ~WtsText() {
    if (text) Wts()->WTSFreeMemory(text);
  }
};

std::optional<std::wstring> SessionText(DWORD session, WTS_INFO_CLASS what) {
  WtsText buffer;
  DWORD bytes = 0;
  if (!Wts()->WTSQuerySessionInformationW(WTS_CURRENT_SERVER_HANDLE, session, what, &buffer.text, &bytes) ||
      !buffer.text) {
    return std::nullopt;
  }
  return std::wstring(buffer.text);
}

}  // namespace

std::optional<AccountName> AccountOfThisProcess() {
  HANDLE raw_token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &raw_token)) return std::nullopt;
  UniqueKernelHandle token(raw_token);
  DWORD size = 0;
  ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  if (size == 0) return std::nullopt;
  std::vector<unsigned char> user(size);
  if (!::GetTokenInformation(token.get(), TokenUser, user.data(), size, &size)) return std::nullopt;
  const PSID sid = reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
  DWORD name_size = 0, domain_size = 0;
  SID_NAME_USE use;
  ::LookupAccountSidW(nullptr, sid, nullptr, &name_size, nullptr, &domain_size, &use);
  if (name_size == 0) return std::nullopt;
  std::wstring name(name_size, L'\0'), domain(domain_size, L'\0');
  if (!::LookupAccountSidW(nullptr, sid, name.data(), &name_size, domain.data(), &domain_size, &use)) {
    return std::nullopt;
  }
  // On success the sizes count the characters written, without the terminating zero.
  name.resize(name_size);
  domain.resize(domain_size);
  return AccountName{domain, name};
}

std::optional<AccountName> AccountOfThisSession() {
  DWORD session = 0;
  if (!Wts() || !::ProcessIdToSessionId(::GetCurrentProcessId(), &session)) return std::nullopt;
  const auto user = SessionText(session, WTSUserName);
  const auto domain = SessionText(session, WTSDomainName);
  // A session with nobody signed in (a service's) has an empty user name.
  if (!user || user->empty() || !domain) return std::nullopt;
  return AccountName{*domain, *user};
}
