#include "transfer/wininet_source_win32.h"

#include <wininet.h>

#include <optional>
#include <utility>

#include "app/module_path_win32.h"
#include "app/text.h"
#include "app/unique_handle_win32.h"
#include "app/system_message_win32.h"

namespace {

// A download can be hundreds of megabytes: it must neither come from the cache nor
// leave a second copy there.
constexpr DWORD kRequestFlags =
    INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;

// WinINet passes a time-out set on the Internet handle on to the connection; under Wine
// the request only keeps its own, so both get them, before the request goes out.
void SetTimeouts(HINTERNET handle, DWORD timeout_ms) {
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                       INTERNET_OPTION_RECEIVE_TIMEOUT}) {
    DWORD value = timeout_ms;
    ::InternetSetOptionW(handle, option, &value, sizeof value);
  }
}

class WinInetResponse : public HttpResponse {
 public:
  WinInetResponse(UniqueInternet session, UniqueInternet connection, UniqueInternet request,
                  unsigned status, std::optional<std::uint32_t> length)
      : session_(std::move(session)), connection_(std::move(connection)),
        request_(std::move(request)), status_(status), length_(length) {}

  unsigned StatusCode() const override { return status_; }
  std::optional<std::uint32_t> ContentLength() const override { return length_; }

  bool Read(unsigned char* buffer, std::uint32_t size, std::uint32_t& delivered,
            std::wstring& reason) override {
    DWORD count = 0;
    const BOOL ok = ::InternetReadFile(request_.get(), buffer, size, &count);
    const DWORD error = ::GetLastError();
    delivered = ok ? count : 0;
    if (!ok) reason = SystemMessage(error);
    return ok;
  }

 private:
  // Declared in the order of opening: destruction closes the request first, the Internet
  // handle last.
  UniqueInternet session_;
  UniqueInternet connection_;
  UniqueInternet request_;
  unsigned status_;
  std::optional<std::uint32_t> length_;
};

}  // namespace

WinInetSource::WinInetSource(DWORD timeout_ms)
    : agent_(FileNameOf(ModulePath())), timeout_ms_(timeout_ms) {}

// The request is opened and sent in two steps rather than by InternetOpenUrlW, which
// sends it at once: under Wine a request made that way waits for its answer for ever,
// whatever time-out the Internet handle carries.
std::unique_ptr<HttpResponse> WinInetSource::Get(const std::wstring& url, std::wstring& reason) {
  const auto fail = [&reason](DWORD error) -> std::unique_ptr<HttpResponse> {
    reason = SystemMessage(error);
    return nullptr;
  };
  URL_COMPONENTSW parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = 1;  // point into url
  if (!::InternetCrackUrlW(url.c_str(), 0, 0, &parts)) return fail(::GetLastError());
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) {
    return fail(ERROR_INTERNET_UNRECOGNIZED_SCHEME);
  }
  const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  const std::wstring object = std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength) +
                              std::wstring(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  const DWORD secure = parts.nScheme == INTERNET_SCHEME_HTTPS ? INTERNET_FLAG_SECURE : 0;

  UniqueInternet session(
      ::InternetOpenW(agent_.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session) return fail(::GetLastError());
  SetTimeouts(session.get(), timeout_ms_);
  UniqueInternet connection(::InternetConnectW(session.get(), host.c_str(), parts.nPort, nullptr,
                                               nullptr, INTERNET_SERVICE_HTTP, 0, 0));
  if (!connection) return fail(::GetLastError());
  const wchar_t* accept[] = {L"*/*", nullptr};
  UniqueInternet request(::HttpOpenRequestW(connection.get(), L"GET", object.c_str(), nullptr,
                                            nullptr, accept, kRequestFlags | secure, 0));
  if (!request) return fail(::GetLastError());
  SetTimeouts(request.get(), timeout_ms_);
  if (!::HttpSendRequestW(request.get(), nullptr, 0, nullptr, 0)) return fail(::GetLastError());

  DWORD status = 0;
  DWORD size = sizeof status;
  if (!::HttpQueryInfoW(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                        &size, nullptr)) {
    return fail(::GetLastError());
  }
  DWORD length = 0;
  size = sizeof length;
  std::optional<std::uint32_t> content_length;
  if (::HttpQueryInfoW(request.get(), HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &length,
                       &size, nullptr)) {
    content_length = length;
  }
  return std::make_unique<WinInetResponse>(std::move(session), std::move(connection),
                                           std::move(request), status, content_length);
}
