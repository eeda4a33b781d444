#include "transfer/transfer_texts.h"

namespace {

// WinINet's own codes, and the Winsock ones it passes on unchanged.
constexpr std::uint32_t kInternetTimeout = 12002;
constexpr std::uint32_t kInternetConnectionAborted = 12030;
constexpr std::uint32_t kInternetConnectionReset = 12031;
constexpr std::uint32_t kSocketAborted = 10053;
constexpr std::uint32_t kSocketReset = 10054;
constexpr std::uint32_t kSocketTimedOut = 10060;
constexpr std::uint32_t kSocketRefused = 10061;

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

std::wstring TrickleReason(std::uint64_t bytes, std::uint32_t seconds) {
  return L"The server sent only " + std::to_wstring(bytes) + (bytes == 1 ? L" byte" : L" bytes") +
         L" in the last " + std::to_wstring(seconds) + L" seconds";
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
    default:
      return system_message;
  }
}
