#include "transfer/wininet_source_win32.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "base/module_path_win32.h"
#include "base/text.h"
#include "base/system_message_win32.h"
#include "transfer/transfer_texts.h"
#include "transfer/wininet_functions_win32.h"

namespace {

// A download can be hundreds of megabytes: it must neither come from the cache nor
// leave a second copy there. Redirects are the transfer's to follow: WinINet follows a
// loop for ever, and the transfer refuses one from HTTPS to HTTP.
// Over HTTPS none of the INTERNET_FLAG_IGNORE_CERT_* flags is set, nor any
// SECURITY_FLAG_IGNORE_*: a certificate that the system does not trust, that names
// another host or that has expired fails the request, since the setup program in the
// package then runs as administrator. Revocation is left to the system: Windows' WinINet
// checks it when "Check for server certificate revocation" is on in the Internet
// Options, as it is by default. (Wine's WinINet does not check it at all.)
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_AUTO_REDIRECT;

// Why a wait for the server that began at `started` (GetTickCount64) failed.
std::wstring FailureReason(DWORD error, DWORD timeout_ms, ULONGLONG started) {
  return ConnectionFailureReason(error, SystemMessage(error), timeout_ms, ::GetTickCount64() - started);
}

// Every value of one header of the response, as text and in order. As text because
// HTTP_QUERY_FLAG_NUMBER reads 32 bits and answers "no such header" for a larger length;
// in order, by index, because a second line of the same header is a value of its own.
std::vector<std::wstring> HeaderValues(HINTERNET request, DWORD level) {
  std::vector<std::wstring> values;
  DWORD index = 0;
  std::wstring value(256, L'\0');
  while (true) {
    DWORD size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    const DWORD asked = index;
    if (WinInet().HttpQueryInfoW(request, level, value.data(), &size, &index)) {
      values.push_back(value.substr(0, size / sizeof(wchar_t)));
      if (index == asked) break;  // a WinINet that does not move on would repeat it
      continue;
    }
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;  // no further line
    value.assign(size / sizeof(wchar_t) + 1, L'\0');
  }
  return values;
}

// WinINet passes a time-out set on the Internet handle on to the connection; under Wine
// the request only keeps its own, so both get them, before the request goes out.
void SetTimeouts(HINTERNET handle, DWORD timeout_ms) {
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                       INTERNET_OPTION_RECEIVE_TIMEOUT}) {
    DWORD value = timeout_ms;
    WinInet().InternetSetOptionW(handle, option, &value, sizeof value);
  }
}

class WinInetResponse : public HttpResponse {
 public:
  WinInetResponse(UniqueInternet session, UniqueInternet connection, UniqueInternet request,
                  unsigned status, DWORD timeout_ms)
      : session_(std::move(session)), connection_(std::move(connection)),
        request_(std::move(request)), status_(status), timeout_ms_(timeout_ms) {}

  unsigned StatusCode() const override { return status_; }
  std::vector<std::wstring> ContentLengths() const override {
    return HeaderValues(request_.get(), HTTP_QUERY_CONTENT_LENGTH);
  }
  std::wstring Location() const override {
    const std::vector<std::wstring> values = HeaderValues(request_.get(), HTTP_QUERY_LOCATION);
    return values.empty() ? std::wstring() : values.front();
  }

  // Takes only what has arrived: InternetReadFile alone waits until `size` bytes have come,
  // which from a server that sends a byte a second holds the thread for most of an hour.
  // The count of bytes waiting is asked for once and then used up, read by read, so that
  // a fast body costs one call per read as before.
  bool Read(unsigned char* buffer, std::uint32_t size, std::uint32_t& delivered,
            std::wstring& reason) override {
    delivered = 0;
    const ULONGLONG started = ::GetTickCount64();
    if (waiting_ == 0) {
      DWORD waiting = 0;
      // Blocks until a byte has come, the body has ended (0) or the time-out has passed.
      if (!WinInet().InternetQueryDataAvailable(request_.get(), &waiting, 0, 0)) {
        const DWORD error = ::GetLastError();
        reason = FailureReason(error, timeout_ms_, started);
        return false;
      }
      if (waiting == 0) return true;
      waiting_ = waiting;
    }
    DWORD count = 0;
    const BOOL ok = WinInet().InternetReadFile(request_.get(), buffer, std::min<DWORD>(size, waiting_), &count);
    const DWORD error = ::GetLastError();
    if (!ok) {
      reason = FailureReason(error, timeout_ms_, started);
      return false;
    }
    delivered = count;
    waiting_ -= std::min(count, waiting_);
    // A chunked body whose connection closes before its last chunk ends here too, with
    // success and 0 bytes, whether cut inside a chunk or between two: Wine's WinINet does
    // so (the Wine tests pin it), and Windows' documents no error for it and offers no
    // query that tells the two apart. Such a body has no Content-Length, so the transfer
    // cannot see that it is short; a server that sends a length is checked against it.
    return true;
  }

 private:
  // Declared in the order of opening: destruction closes the request first, the Internet
  // handle last.
  UniqueInternet session_;
  UniqueInternet connection_;
  UniqueInternet request_;
  unsigned status_;
  DWORD timeout_ms_;
  DWORD waiting_ = 0;  // bytes known to have arrived and not yet read
};

}  // namespace

WinInetSource::WinInetSource(DWORD timeout_ms)
    : agent_(FileNameOf(ModulePath())), timeout_ms_(timeout_ms) {}

// The request is opened and sent in two steps rather than by InternetOpenUrlW, which
// sends it at once: under Wine a request made that way waits for its answer for ever,
// whatever time-out the Internet handle carries.
std::unique_ptr<HttpResponse> WinInetSource::Get(const std::wstring& url, std::wstring& reason) {
  ULONGLONG started = ::GetTickCount64();
  const auto fail = [&](DWORD error) -> std::unique_ptr<HttpResponse> {
    reason = FailureReason(error, timeout_ms_, started);
    return nullptr;
  };
  URL_COMPONENTSW parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = 1;  // point into url
  if (!WinInet().InternetCrackUrlW(url.c_str(), 0, 0, &parts)) return fail(::GetLastError());
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) {
    return fail(ERROR_INTERNET_UNRECOGNIZED_SCHEME);
  }
  const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  const std::wstring object = std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength) +
                              std::wstring(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  const DWORD secure = parts.nScheme == INTERNET_SCHEME_HTTPS ? INTERNET_FLAG_SECURE : 0;

  UniqueInternet session(
      WinInet().InternetOpenW(agent_.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session) return fail(::GetLastError());
  SetTimeouts(session.get(), timeout_ms_);
  UniqueInternet connection(WinInet().InternetConnectW(session.get(), host.c_str(), parts.nPort, nullptr,
                                               nullptr, INTERNET_SERVICE_HTTP, 0, 0));
  if (!connection) return fail(::GetLastError());
  const wchar_t* accept[] = {L"*/*", nullptr};
  UniqueInternet request(WinInet().HttpOpenRequestW(connection.get(), L"GET", object.c_str(), nullptr,
                                            nullptr, accept, kRequestFlags | secure, 0));
  if (!request) return fail(::GetLastError());
  SetTimeouts(request.get(), timeout_ms_);
  started = ::GetTickCount64();
  if (!WinInet().HttpSendRequestW(request.get(), nullptr, 0, nullptr, 0)) return fail(::GetLastError());

  DWORD status = 0;
  DWORD size = sizeof status;
  if (!WinInet().HttpQueryInfoW(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                        &size, nullptr)) {
    return fail(::GetLastError());
  }
  return std::make_unique<WinInetResponse>(std::move(session), std::move(connection),
                                           std::move(request), status, timeout_ms_);
}
