#include "transfer/wininet_source_win32.h"

#include <algorithm>
#include <optional>
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

HttpFailure Failure(DWORD error, DWORD timeout_ms, ULONGLONG started) {
  return HttpFailure{FailureReason(error, timeout_ms, started), IsTransientConnectionError(error)};
}

// The Range and If-Range lines of a resumed request; nothing for a whole one.
std::wstring RangeHeaders(const HttpRequest& request) {
  if (!request.range_from) return std::wstring();
  std::wstring headers = L"Range: bytes=" + std::to_wstring(*request.range_from) + L"-\r\n";
  if (!request.if_range.empty()) headers += L"If-Range: " + request.if_range + L"\r\n";
  return headers;
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

// A request handle whose closing the line may have taken over.
class TrackedRequest {
 public:
  TrackedRequest(UniqueInternet request, std::shared_ptr<RequestLine> line)
      : request_(std::move(request)), line_(std::move(line)) {
    line_->Track(request_.get());
  }
  TrackedRequest(const TrackedRequest&) = delete;
  TrackedRequest& operator=(const TrackedRequest&) = delete;
  ~TrackedRequest() {
    if (line_->Untrack()) request_.release();
  }
  HINTERNET get() const { return request_.get(); }

 private:
  UniqueInternet request_;
  std::shared_ptr<RequestLine> line_;
};

std::optional<DWORD> Send(HINTERNET request, const std::wstring& headers, RequestLine& line, DWORD timeout_ms,
                          HttpFailure& failure);

// The proxy as the session's settings name it (a list such as "http=host:port https=...",
// or one address for every scheme); empty when none is set or it cannot be had.
std::wstring ProxyOf(HINTERNET session) {
  DWORD size = 0;
  WinInet().InternetQueryOptionW(session, INTERNET_OPTION_PROXY, nullptr, &size);
  if (size < sizeof(INTERNET_PROXY_INFO)) return std::wstring();
  // The strings follow the structure in the same buffer; aligned for the structure.
  std::vector<INTERNET_PROXY_INFO> buffer(size / sizeof(INTERNET_PROXY_INFO) + 1);
  size = static_cast<DWORD>(buffer.size() * sizeof(INTERNET_PROXY_INFO));
  if (!WinInet().InternetQueryOptionW(session, INTERNET_OPTION_PROXY, buffer.data(), &size)) return std::wstring();
  const INTERNET_PROXY_INFO& info = buffer.front();
  if (info.dwAccessType != INTERNET_OPEN_TYPE_PROXY || !info.lpszProxy) return std::wstring();
  return reinterpret_cast<const wchar_t*>(info.lpszProxy);
}

class WinInetResponse : public HttpResponse {
 public:
  WinInetResponse(UniqueInternet session, UniqueInternet connection, std::unique_ptr<TrackedRequest> request,
                  unsigned status, DWORD timeout_ms, std::wstring headers, std::shared_ptr<RequestLine> line,
                  CredentialsDialog ask)
      : session_(std::move(session)), connection_(std::move(connection)),
        request_(std::move(request)), status_(status), timeout_ms_(timeout_ms), headers_(std::move(headers)),
        line_(std::move(line)), ask_(std::move(ask)) {}

  // WinINet's own way: the refusal's body read off, the dialog keeps what is typed on the
  // request handle (FLAGS_ERROR_UI_FLAGS_GENERATE_DATA), and HttpSendRequestW on the same
  // handle sends it with them when the dialog answered ERROR_INTERNET_FORCE_RETRY.
  ProxyLogin LogInToProxy(HttpFailure& failure) override {
    if (!ask_) return ProxyLogin::cancelled;
    unsigned char drain[4096];
    DWORD count = 0;
    while (WinInet().InternetReadFile(request_->get(), drain, sizeof drain, &count) && count != 0) {
    }
    if (ask_(request_->get()) != ERROR_INTERNET_FORCE_RETRY) return ProxyLogin::cancelled;
    const std::optional<DWORD> status = Send(request_->get(), headers_, *line_, timeout_ms_, failure);
    if (!status) return ProxyLogin::failed;
    status_ = *status;
    waiting_ = 0;
    return ProxyLogin::resent;
  }
  std::wstring ProxyName() const override { return ProxyOf(session_.get()); }

  unsigned StatusCode() const override { return status_; }
  std::vector<std::wstring> ContentLengths() const override {
    return HeaderValues(request_->get(), HTTP_QUERY_CONTENT_LENGTH);
  }
  std::wstring Location() const override { return First(HTTP_QUERY_LOCATION); }
  std::wstring Header(ResumeHeader which) const override {
    switch (which) {
      case ResumeHeader::etag: return First(HTTP_QUERY_ETAG);
      case ResumeHeader::last_modified: return First(HTTP_QUERY_LAST_MODIFIED);
      case ResumeHeader::content_range: return First(HTTP_QUERY_CONTENT_RANGE);
      case ResumeHeader::retry_after: return First(HTTP_QUERY_RETRY_AFTER);
    }
    return std::wstring();
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
      if (!WinInet().InternetQueryDataAvailable(request_->get(), &waiting, 0, 0)) {
        const DWORD error = ::GetLastError();
        reason = FailureReason(error, timeout_ms_, started);
        return false;
      }
      if (waiting == 0) return true;
      waiting_ = waiting;
    }
    DWORD count = 0;
    const BOOL ok = WinInet().InternetReadFile(request_->get(), buffer, std::min<DWORD>(size, waiting_), &count);
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
  std::wstring First(DWORD level) const {
    const std::vector<std::wstring> values = HeaderValues(request_->get(), level);
    return values.empty() ? std::wstring() : values.front();
  }

  // Declared in the order of opening: destruction closes the request first, the Internet
  // handle last.
  UniqueInternet session_;
  UniqueInternet connection_;
  std::unique_ptr<TrackedRequest> request_;
  unsigned status_;
  DWORD timeout_ms_;
  std::wstring headers_;  // sent with the request, and again with a proxy's credentials
  std::shared_ptr<RequestLine> line_;
  CredentialsDialog ask_;
  DWORD waiting_ = 0;  // bytes known to have arrived and not yet read
};

// Closes a request whose head has not come within the bound, from a timer-queue thread.
// Destroyed once the send has returned; it waits for a callback under way, so the flag
// is settled by then and the handle is closed at most once.
class RequestWatch {
 public:
  RequestWatch(RequestLine& line, DWORD timeout_ms, bool& fired) : line_(line), fired_(fired) {
    ::CreateTimerQueueTimer(&timer_, nullptr, &RequestWatch::Fire, this, timeout_ms, 0, WT_EXECUTEONLYONCE);
  }
  RequestWatch(const RequestWatch&) = delete;
  RequestWatch& operator=(const RequestWatch&) = delete;
  ~RequestWatch() {
    if (timer_) ::DeleteTimerQueueTimer(nullptr, timer_, INVALID_HANDLE_VALUE);
  }

 private:
  static void CALLBACK Fire(void* context, BOOLEAN) {
    auto* self = static_cast<RequestWatch*>(context);
    self->fired_ = true;
    self->line_.Close();
  }

  RequestLine& line_;
  bool& fired_;
  HANDLE timer_ = nullptr;
};

// Sends the request and waits for the head; its status, or nothing with `failure` set.
std::optional<DWORD> Send(HINTERNET request, const std::wstring& headers, RequestLine& line, DWORD timeout_ms,
                          HttpFailure& failure) {
  const ULONGLONG started = ::GetTickCount64();
  // The head as a whole gets the same bound as each wait: WinINet's own time-out restarts
  // with every byte, so a head sent a byte at a time would hold the attempt for ever. The
  // watch closes the request when the bound passes, which Windows documents to end the
  // blocked call (Wine 8's WinINet goes on waiting; then the late head is refused here).
  bool head_too_slow = false;
  BOOL sent = FALSE;
  {
    const RequestWatch watch(line, timeout_ms, head_too_slow);
    sent = WinInet().HttpSendRequestW(request, headers.empty() ? nullptr : headers.c_str(),
                                      static_cast<DWORD>(headers.size()), nullptr, 0);
  }
  const DWORD send_error = ::GetLastError();
  // WinINet's own time-out may end a silent server's wait as the watch fires: its reason
  // says what happened. A call ended by the close fails as cancelled or as a wrong handle.
  const bool ended_by_close = send_error == ERROR_INTERNET_OPERATION_CANCELLED ||
                              send_error == ERROR_INTERNET_INCORRECT_HANDLE_TYPE ||
                              send_error == ERROR_INVALID_HANDLE;
  if (!sent && !ended_by_close) {
    failure = Failure(send_error, timeout_ms, started);
    return std::nullopt;
  }
  if (head_too_slow || ::GetTickCount64() - started > timeout_ms) {
    failure = HttpFailure{HeadTooSlowReason(timeout_ms), true};
    return std::nullopt;
  }
  if (!sent) {
    failure = Failure(send_error, timeout_ms, started);
    return std::nullopt;
  }
  DWORD status = 0;
  DWORD size = sizeof status;
  if (!WinInet().HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr)) {
    failure = Failure(::GetLastError(), timeout_ms, started);
    return std::nullopt;
  }
  return status;
}

}  // namespace

void RequestLine::Track(HINTERNET request) {
  const std::lock_guard<std::mutex> hold(lock_);
  request_ = request;
  closed_ = false;
  if (cancelled_) CloseLocked();
}

bool RequestLine::Untrack() {
  const std::lock_guard<std::mutex> hold(lock_);
  const bool closed = closed_;
  request_ = nullptr;
  closed_ = false;
  return closed;
}

void RequestLine::Close() {
  const std::lock_guard<std::mutex> hold(lock_);
  CloseLocked();
}

void RequestLine::Cancel() {
  const std::lock_guard<std::mutex> hold(lock_);
  cancelled_ = true;
  CloseLocked();
}

void RequestLine::CloseLocked() {
  if (!request_ || closed_) return;
  WinInet().InternetCloseHandle(request_);
  closed_ = true;
}

WinInetSource::WinInetSource(DWORD timeout_ms, std::shared_ptr<RequestLine> line, CredentialsDialog ask)
    : agent_(FileNameOf(ModulePath())), timeout_ms_(timeout_ms),
      line_(line ? std::move(line) : std::make_shared<RequestLine>()), ask_(std::move(ask)) {}

// The request is opened and sent in two steps rather than by InternetOpenUrlW, which
// sends it at once: under Wine a request made that way waits for its answer for ever,
// whatever time-out the Internet handle carries.
std::unique_ptr<HttpResponse> WinInetSource::Get(const HttpRequest& asked, HttpFailure& failure) {
  const std::wstring& url = asked.url;
  const ULONGLONG started = ::GetTickCount64();
  const auto fail = [&](DWORD error) -> std::unique_ptr<HttpResponse> {
    failure = Failure(error, timeout_ms_, started);
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
  auto tracked = std::make_unique<TrackedRequest>(std::move(request), line_);
  std::wstring headers = RangeHeaders(asked);
  const std::optional<DWORD> status = Send(tracked->get(), headers, *line_, timeout_ms_, failure);
  if (!status) return nullptr;
  return std::make_unique<WinInetResponse>(std::move(session), std::move(connection), std::move(tracked), *status,
                                           timeout_ms_, std::move(headers), line_, ask_);
}
