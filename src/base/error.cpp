#include "base/error.h"

Error::Error(std::wstring text)
    : text_(std::move(text)), address_(__builtin_return_address(0)) {
  narrow_.reserve(text_.size());
  for (wchar_t c : text_) narrow_.push_back(c < 0x80 ? static_cast<char>(c) : '?');
}

std::wstring WidenLatin1(const char* text) {
  std::wstring wide;
  for (const char* p = text; *p; ++p) wide.push_back(static_cast<unsigned char>(*p));
  return wide;
}

std::wstring ErrorText(const std::exception& error) {
  if (auto* own = dynamic_cast<const Error*>(&error)) return own->text();
  return WidenLatin1(error.what());
}

std::wstring ReportText(const std::wstring& message) {
  if (!message.empty() && message.back() > L'.') return message + L".";
  return message;
}
