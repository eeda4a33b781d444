#include "base/error.h"

Error::Error(std::wstring text)
    : text_(std::move(text)), address_(__builtin_return_address(0)) {
  narrow_.reserve(text_.size());
  for (wchar_t c : text_) narrow_.push_back(c < 0x80 ? static_cast<char>(c) : '?');
}

std::wstring ReportText(const std::wstring& message) {
  if (!message.empty() && message.back() > L'.') return message + L".";
  return message;
}
