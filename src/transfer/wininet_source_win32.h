#pragma once
// HTTP GETs through WinINet, with the system's proxy settings; redirects are returned,
// not followed.
#include <windows.h>
#include <wininet.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "transfer/http_source.h"

// Each wait for the server (connecting, sending, every wait for data) gives up after
// this long. Without it WinINet waits for ever on a server that accepts and says nothing.
inline constexpr DWORD kServerTimeoutMs = 30000;

// The request under way, for another thread to end: Windows documents that closing a
// request handle ends a call blocked on it (Wine 8 does not; the call then runs on to its
// own bound). The handle is closed once, by whoever comes first: the closer or its owner.
class RequestLine {
 public:
  // The owner's request from now on; closed at once when the line was cancelled.
  void Track(HINTERNET request);
  // The owner is done with it: true when the handle was closed here, so the owner must
  // only let go of it.
  bool Untrack();
  // Closes the request under way, if any.
  void Close();
  // Closes it, and every request tracked after this.
  void Cancel();

 private:
  void CloseLocked();
  std::mutex lock_;
  HINTERNET request_ = nullptr;
  bool closed_ = false;
  bool cancelled_ = false;
};

// Shows the system's dialog for a proxy's credentials over the request (InternetErrorDlg)
// and gives its answer: ERROR_INTERNET_FORCE_RETRY when they were given.
using CredentialsDialog = std::function<DWORD(HINTERNET request)>;

class WinInetSource : public HttpSource {
 public:
  // The agent is the running program's file name. `line`, when given, is where another
  // thread can end the request under way. Without `ask`, a proxy that wants credentials
  // is answered as if the person had cancelled.
  explicit WinInetSource(DWORD timeout_ms = kServerTimeoutMs, std::shared_ptr<RequestLine> line = nullptr,
                         CredentialsDialog ask = nullptr);
  // Always fetched afresh from the server, and no copy kept in WinINet's cache.
  std::unique_ptr<HttpResponse> Get(const HttpRequest& request, HttpFailure& failure) override;

 private:
  std::wstring agent_;
  DWORD timeout_ms_;
  std::shared_ptr<RequestLine> line_;
  CredentialsDialog ask_;
};
