#include "transfer/payload_check.h"

#include <utility>

PayloadRefused::PayloadRefused(const std::wstring& url, std::wstring reason)
    : Error(NotSignedText(L"The file", url, reason)), reason_(std::move(reason)) {}

std::wstring NotSignedText(const std::wstring& subject, const std::wstring& url, const std::wstring& reason) {
  return subject + L" \"" + url + L"\" is not signed by the vendor's key: " + reason;
}

std::wstring SignatureMismatchReason() { return L"the signature does not match"; }
