#include "base/system_message.h"

std::wstring TrimmedSystemMessage(std::wstring message) {
  const std::size_t end = message.find_last_not_of(L" \t\r\n.");
  message.erase(end == std::wstring::npos ? 0 : end + 1);
  return message;
}
