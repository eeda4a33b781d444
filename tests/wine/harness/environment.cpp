#include "environment.h"

#include <windows.h>

#include <stdexcept>

#include "files.h"

namespace harness {

std::wstring EnvironmentVariable(const std::wstring& name) {
  std::wstring value(32767, L'\0');
  const DWORD length = ::GetEnvironmentVariableW(name.c_str(), value.data(), static_cast<DWORD>(value.size()));
  if (length == 0 || length >= value.size()) return std::wstring();
  value.resize(length);
  return value;
}

std::wstring RequiredVariable(const std::wstring& name) {
  std::wstring value = EnvironmentVariable(name);
  if (value.empty()) {
    throw std::runtime_error(ToUtf8(name) + " is not set: run this test through run_in_prefix.sh");
  }
  return value;
}

std::wstring AppPath() { return RequiredVariable(L"KALVERA_APP"); }
std::wstring StandInPath() { return RequiredVariable(L"KALVERA_STANDIN"); }
std::wstring TestTmp() { return RequiredVariable(L"KALVERA_TEST_TMP"); }
std::wstring HttpRoot() { return RequiredVariable(L"KALVERA_HTTP_ROOT"); }
int HttpPort() { return std::stoi(RequiredVariable(L"KALVERA_HTTP_PORT")); }

std::wstring HttpUrl(const std::wstring& path) {
  return L"http://127.0.0.1:" + std::to_wstring(HttpPort()) + path;
}

std::wstring UserName() {
  wchar_t name[257] = {};
  DWORD size = 257;
  if (!::GetUserNameW(name, &size)) return std::wstring();
  return name;
}

std::wstring UserProfile() { return EnvironmentVariable(L"USERPROFILE"); }

}  // namespace harness
