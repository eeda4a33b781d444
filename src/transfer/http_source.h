#pragma once
// One HTTP GET as the transfer reads it: the head of the response, then its body in
// pieces. The Win32 edge implements it with WinINet, the tests with a scripted fake.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

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
  // Reads the next piece of the body, at most `size` bytes, and puts its length in
  // `delivered`: 0 at the end of the body. False when the connection failed or timed
  // out; `reason` then says why in words a person understands.
  virtual bool Read(unsigned char* buffer, std::uint32_t size, std::uint32_t& delivered,
                    std::wstring& reason) = 0;
};

class HttpSource {
 public:
  virtual ~HttpSource() = default;
  // Sends a GET of `url` and waits for the head of the response, whatever its status;
  // a redirect is returned as it is, not followed. Null when no response came (no
  // network, unknown host, refused, timed out); `reason` then says why.
  virtual std::unique_ptr<HttpResponse> Get(const std::wstring& url, std::wstring& reason) = 0;
};
