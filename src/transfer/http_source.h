#pragma once
// One HTTP GET as the transfer reads it: the head of the response, then its body in
// pieces. The Win32 edge implements it with WinINet, the tests with a scripted fake.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The headers a broken transfer needs to go on where it stopped.
enum class ResumeHeader { etag, last_modified, content_range, retry_after };

// What to ask for: the address, and for a resumed transfer the first byte wanted with the
// validator that must still match (If-Range), else the whole body comes again.
struct HttpRequest {
  std::wstring url;
  std::optional<std::uint64_t> range_from;
  std::wstring if_range;
};

// Why no response came, and whether another attempt may fare better: a refused or broken
// connection or a time-out may, a name that cannot be resolved or a refused certificate
// never does.
struct HttpFailure {
  std::wstring reason;
  bool transient = false;
};

// What came of asking the person for a proxy's user name and password.
enum class ProxyLogin {
  resent,     // given, and the same request sent again with them: the response holds the new answer
  cancelled,  // the person cancelled, or no one can be asked
  failed,     // the request could not be sent again; the failure says why
};

class HttpResponse {
 public:
  // Closes the request and everything opened for it.
  virtual ~HttpResponse() = default;
  virtual unsigned StatusCode() const = 0;
  // The value of every Content-Length line of the head, as the server wrote it, in
  // order; empty when there is none. The transfer judges them (ParseContentLength).
  virtual std::vector<std::wstring> ContentLengths() const = 0;
  // The Location of a redirect as the server wrote it, maybe relative; empty when none.
  virtual std::wstring Location() const = 0;
  // The first line of one of the heads a resumed transfer reads, as the server wrote it;
  // empty when there is none.
  virtual std::wstring Header(ResumeHeader which) const = 0;
  // Reads the next piece of the body, at most `size` bytes, and puts its length in
  // `delivered`: 0 at the end of the body. False when the connection failed or timed
  // out; `reason` then says why in words a person understands.
  virtual bool Read(unsigned char* buffer, std::uint32_t size, std::uint32_t& delivered,
                    std::wstring& reason) = 0;
  // After a 407 (a proxy that asks for credentials): asks the person for them with the
  // system's dialog and, when given, sends the same request again through the proxy; on
  // `resent` this object is the new answer, status and head included. One that cannot ask
  // answers `cancelled`.
  virtual ProxyLogin LogInToProxy(HttpFailure& failure) {
    (void)failure;
    return ProxyLogin::cancelled;
  }
  // The proxy the request went through, as the system's settings name it; empty when
  // unknown.
  virtual std::wstring ProxyName() const { return {}; }
};

class HttpSource {
 public:
  virtual ~HttpSource() = default;
  // Sends a GET of the request's address and waits for the head of the response, whatever
  // its status; a redirect is returned as it is, not followed. Null when no response came
  // (no network, unknown host, refused, timed out, a head not complete within the bound
  // on each wait for the server); `failure` then says why.
  virtual std::unique_ptr<HttpResponse> Get(const HttpRequest& request, HttpFailure& failure) = 0;
};
