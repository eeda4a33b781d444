#pragma once
// One HTTP GET as the transfer reads it: the head of the response, then its body in
// pieces. The Win32 edge implements it with WinINet, the tests with a scripted fake.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class HttpResponse {
 public:
  // Closes the request and everything opened for it.
  virtual ~HttpResponse() = default;
  virtual unsigned StatusCode() const = 0;
  // The Content-Length, when the response carries one.
  virtual std::optional<std::uint32_t> ContentLength() const = 0;
  // Reads the next piece of the body, at most `size` bytes, and puts its length in
  // `delivered`: 0 at the end of the body. False when the connection failed or timed
  // out; `reason` then holds the system's message.
  virtual bool Read(unsigned char* buffer, std::uint32_t size, std::uint32_t& delivered,
                    std::wstring& reason) = 0;
};

class HttpSource {
 public:
  virtual ~HttpSource() = default;
  // Sends a GET of `url` and waits for the head of the response, whatever its status.
  // Null when no response came (no network, unknown host, refused, timed out); `reason`
  // then holds the system's message.
  virtual std::unique_ptr<HttpResponse> Get(const std::wstring& url, std::wstring& reason) = 0;
};
