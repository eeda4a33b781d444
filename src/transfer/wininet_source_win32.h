#pragma once
// HTTP GETs through WinINet, with the system's proxy settings; redirects are returned,
// not followed.
#include <windows.h>

#include <memory>
#include <string>

#include "transfer/http_source.h"

// Each wait for the server (connecting, sending, every wait for data) gives up after
// this long. Without it WinINet waits for ever on a server that accepts and says nothing.
inline constexpr DWORD kServerTimeoutMs = 30000;

class WinInetSource : public HttpSource {
 public:
  // The agent is the running program's file name.
  explicit WinInetSource(DWORD timeout_ms = kServerTimeoutMs);
  // Always fetched afresh from the server, and no copy kept in WinINet's cache.
  std::unique_ptr<HttpResponse> Get(const HttpRequest& request, HttpFailure& failure) override;

 private:
  std::wstring agent_;
  DWORD timeout_ms_;
};
