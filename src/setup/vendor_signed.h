#pragma once
// The report of a download that is not what the vendor signed, naming it as the person
// knows it.
#include <string>

#include "transfer/payload_check.h"

// Runs `download` (a Downloader call for `url`); a PayloadRefused it raises becomes
// `<subject> "<url>" is not signed by the vendor's key: <reason>`, e.g. with the subject
// "The platform package".
template <typename Download>
auto VendorSigned(const std::wstring& subject, const std::wstring& url, Download download) {
  try {
    return download();
  } catch (const PayloadRefused& refused) {
    throw Error(NotSignedText(subject, url, refused.reason()));
  }
}
