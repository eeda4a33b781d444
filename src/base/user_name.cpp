#include "base/user_name.h"

std::wstring UserNameFromQuery(bool succeeded, const wchar_t* buffer, unsigned size) {
  if (!succeeded || size == 0 || size > kUserNameBufferSize) return kUnknownUser;
  return std::wstring(buffer, size - 1);
}
