#include "base/text.h"

wchar_t ToLowerChar(wchar_t c) {
  if (c >= L'A' && c <= L'Z') return c + (L'a' - L'A');
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
  if (c >= 0x0410 && c <= 0x042F) return c + 0x20;  // А..Я
  if (c >= 0x0400 && c <= 0x040F) return c + 0x50;  // Ѐ..Џ
  return c;
}

std::wstring ApplicationTitle(const std::wstring& exe_file_name) {
  std::wstring title = exe_file_name.substr(0, exe_file_name.find(L'.'));
  for (size_t i = 1; i < title.size(); ++i) title[i] = ToLowerChar(title[i]);
  return title;
}

std::wstring FileNameOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}
