#include "transfer/transfer_texts.h"

std::wstring TrimmedSystemMessage(std::wstring message) {
  const size_t end = message.find_last_not_of(L" \t\r\n.");
  message.erase(end == std::wstring::npos ? 0 : end + 1);
  return message;
}

std::wstring CannotCreateFileText(const std::wstring& path, const std::wstring& system_message) {
  return L"Cannot create file \"" + path + L"\". " + TrimmedSystemMessage(system_message);
}

std::wstring CannotDownloadText(const std::wstring& url, const std::wstring& reason) {
  return L"Cannot download \"" + url + L"\". " + TrimmedSystemMessage(reason);
}

std::wstring HttpStatusReason(unsigned status) {
  return L"The server answered with HTTP status " + std::to_wstring(status);
}

std::wstring CutShortReason(std::uint64_t received, std::uint32_t announced) {
  return L"The connection closed after " + std::to_wstring(received) + L" of " +
         std::to_wstring(announced) + L" bytes";
}
