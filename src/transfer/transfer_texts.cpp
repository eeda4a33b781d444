#include "transfer/transfer_texts.h"

namespace {

// WinINet's own codes, and the Winsock ones it passes on unchanged.
constexpr std::uint32_t kInternetTimeout = 12002;
constexpr std::uint32_t kInternetConnectionAborted = 12030;
constexpr std::uint32_t kInternetConnectionReset = 12031;
constexpr std::uint32_t kInternetCannotConnect = 12029;
constexpr std::uint32_t kInternetCancelled = 12017;       // the request closed under it: the head's bound
constexpr std::uint32_t kInvalidServerResponse = 12152;   // a head cut off or garbled
constexpr std::uint32_t kSocketAborted = 10053;
constexpr std::uint32_t kSocketReset = 10054;
constexpr std::uint32_t kSocketTimedOut = 10060;
constexpr std::uint32_t kSocketRefused = 10061;
// What WinINet found wrong with a server's certificate. The texts say it for someone who
// never saw one: the system's own ("The certificate authority is invalid or incorrect")
// do not tell them that the server may not be the one it claims to be.
constexpr std::uint32_t kCertificateExpired = 12037;      // ERROR_INTERNET_SEC_CERT_DATE_INVALID
constexpr std::uint32_t kCertificateOtherName = 12038;    // ERROR_INTERNET_SEC_CERT_CN_INVALID
constexpr std::uint32_t kCertificateUntrusted = 12045;    // ERROR_INTERNET_INVALID_CA
constexpr std::uint32_t kCertificateNoRevocation = 12056; // ERROR_INTERNET_SEC_CERT_NO_REV
constexpr std::uint32_t kCertificateRevocationFailed = 12057;  // ERROR_INTERNET_SEC_CERT_REV_FAILED
constexpr std::uint32_t kCertificateInvalid = 12169;      // ERROR_INTERNET_SEC_INVALID_CERT
constexpr std::uint32_t kCertificateRevoked = 12170;      // ERROR_INTERNET_SEC_CERT_REVOKED

std::wstring Seconds(std::uint32_t milliseconds) {
  const std::uint32_t seconds = (milliseconds + 999) / 1000;
  return std::to_wstring(seconds) + (seconds == 1 ? L" second" : L" seconds");
}

}  // namespace

std::wstring CannotCreateFileText(const std::wstring& path, const std::wstring& system_message) {
  return L"Cannot create file \"" + path + L"\". " + system_message;
}

std::wstring CannotDownloadText(const std::wstring& url, const std::wstring& reason) {
  return L"Cannot download \"" + url + L"\". " + reason;
}

std::wstring HttpStatusReason(unsigned status) {
  return L"The server answered with HTTP status " + std::to_wstring(status);
}

std::wstring CutShortReason(std::uint64_t received, std::uint64_t announced) {
  return L"The connection closed after " + std::to_wstring(received) + L" of " +
         std::to_wstring(announced) + L" bytes";
}

std::wstring OverlongReason(std::uint64_t announced) {
  return L"The server sent more than the " + std::to_wstring(announced) + L" bytes it announced";
}

std::wstring OversizeReason(std::uint64_t limit) {
  return L"The body is longer than the " + std::to_wstring(limit) + L" bytes it can have";
}

std::wstring TooManyRedirectsReason(int limit) {
  return L"The server redirected the request more than " + std::to_wstring(limit) +
         L" times: too many redirects";
}

std::wstring RedirectWithoutLocationReason(unsigned status) {
  return L"The server answered with redirect status " + std::to_wstring(status) +
         L" but named no address";
}

std::wstring UnusableRedirectReason(const std::wstring& location) {
  return L"The server redirected the request to \"" + location +
         L"\", which is not an http or https address";
}

std::wstring InsecureRedirectReason(const std::wstring& target) {
  return L"The server redirected the secure request to \"" + target +
         L"\", which is not secure: the file could be read and replaced on the way";
}

std::wstring UnusableRangeReason(std::uint64_t received, std::uint64_t total, const std::wstring& range) {
  return L"The server answered the range from byte " + std::to_wstring(received) + L" of " +
         std::to_wstring(total) + L" with \"" + range + L"\", which does not continue the file";
}

namespace {

std::wstring ProxyNamed(const std::wstring& proxy) {
  return proxy.empty() ? std::wstring(L"The proxy server") : L"The proxy \"" + proxy + L"\"";
}

}  // namespace

std::wstring ProxyCredentialsCancelledReason(const std::wstring& proxy) {
  return ProxyNamed(proxy) + L" asks for a user name and password, and none was given";
}

std::wstring ProxyCredentialsRefusedReason(const std::wstring& proxy, int times) {
  return ProxyNamed(proxy) + L" refused the user name and password " + std::to_wstring(times) + L" times";
}

std::wstring AttemptsMadeReason(int attempts) {
  if (attempts <= 1) return std::wstring();
  return L" (" + std::to_wstring(attempts) + L" attempts made)";
}

std::wstring TrickleReason(std::uint64_t bytes, std::uint32_t seconds) {
  return L"The server sent only " + std::to_wstring(bytes) + (bytes == 1 ? L" byte" : L" bytes") +
         L" in the last " + std::to_wstring(seconds) + L" seconds";
}

std::wstring HeadTooSlowReason(std::uint32_t timeout_ms) {
  return L"The server did not complete its response head within " + Seconds(timeout_ms);
}

bool IsTransientConnectionError(std::uint32_t code) {
  switch (code) {
    case kInternetTimeout:
    case kInternetCannotConnect:
    case kInternetCancelled:
    case kInternetConnectionAborted:
    case kInternetConnectionReset:
    case kInvalidServerResponse:
    case kSocketAborted:
    case kSocketReset:
    case kSocketTimedOut:
    case kSocketRefused:
      return true;
    default:
      return false;
  }
}

std::wstring ConnectionFailureReason(std::uint32_t code, const std::wstring& system_message,
                                     std::uint32_t timeout_ms, std::uint64_t waited_ms) {
  const std::wstring stall = L"The server sent nothing for " + Seconds(timeout_ms);
  // The clock's tick is coarse: a tenth of the bound is slack enough, far below it not.
  const bool waited_out = waited_ms + timeout_ms / 10 >= timeout_ms;
  switch (code) {
    case kInternetTimeout:
    case kSocketTimedOut:
      return stall;
    case kInternetConnectionAborted:
    case kInternetConnectionReset:
    case kSocketAborted:
    case kSocketReset:
      if (waited_out) return stall;
      return L"The connection to the server was broken (error " + std::to_wstring(code) + L")";
    case kSocketRefused:
      return L"The server refused the connection";
    case kCertificateUntrusted:
      return L"The server's certificate is not trusted: no certificate authority that this computer "
             L"trusts has issued it";
    case kCertificateOtherName:
      return L"The server's certificate was issued for another name than the server's";
    case kCertificateExpired:
      return L"The server's certificate has expired or is not valid yet";
    case kCertificateNoRevocation:
    case kCertificateRevocationFailed:
      return L"Whether the server's certificate has been revoked could not be checked";
    case kCertificateRevoked:
      return L"The server's certificate has been revoked";
    case kCertificateInvalid:
      return L"The server's certificate is not valid";
    default:
      return system_message;
  }
}
