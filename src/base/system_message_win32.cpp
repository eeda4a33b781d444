#include "base/system_message_win32.h"

#include <wininet.h>

#include <utility>

#include "base/system_message.h"

namespace {

// WinINet owns the codes from 12000 to 12999.
constexpr DWORD kLastInternetError = 12999;

std::wstring FormatFrom(DWORD source, HMODULE module, DWORD code) {
  wchar_t* text = nullptr;
  const DWORD length = ::FormatMessageW(
      source | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS, module, code, 0,
      reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message(text ? text : L"", length);
  ::LocalFree(text);
  return message;
}

}  // namespace

std::wstring SystemMessage(DWORD code) {
  std::wstring message;
  if (code >= INTERNET_ERROR_BASE && code <= kLastInternetError) {
    message = FormatFrom(FORMAT_MESSAGE_FROM_HMODULE, ::GetModuleHandleW(L"wininet.dll"), code);
  }
  if (message.empty()) message = FormatFrom(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code);
  message = TrimmedSystemMessage(std::move(message));
  if (message.empty()) message = L"System error " + std::to_wstring(code);
  return message;
}
