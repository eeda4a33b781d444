#pragma once
// The texts of the errors a transfer raises. A reason is the tail of a sentence: the
// error report adds the closing full stop.
#include <cstdint>
#include <string>

// Cannot create file "C:\...\database.cf". Access is denied
std::wstring CannotCreateFileText(const std::wstring& path, const std::wstring& system_message);

// Cannot download "http://host/path". <reason>
std::wstring CannotDownloadText(const std::wstring& url, const std::wstring& reason);

// The reasons the transfer itself finds.
std::wstring HttpStatusReason(unsigned status);
std::wstring CutShortReason(std::uint64_t received, std::uint64_t announced);
std::wstring OverlongReason(std::uint64_t announced);
// The body is longer than the <limit> bytes it can have
std::wstring OversizeReason(std::uint64_t limit);
std::wstring TooManyRedirectsReason(int limit);
std::wstring RedirectWithoutLocationReason(unsigned status);
std::wstring UnusableRedirectReason(const std::wstring& location);
std::wstring InsecureRedirectReason(const std::wstring& target);
// The server answered the range from byte <received> of <total> with "<range>", which
// does not continue the file
std::wstring UnusableRangeReason(std::uint64_t received, std::uint64_t total, const std::wstring& range);
// The proxy "<name>" asks for a user name and password, and none was given; without a
// name, "The proxy server asks ...".
std::wstring ProxyCredentialsCancelledReason(const std::wstring& proxy);
// The proxy "<name>" refused the user name and password <times> times
std::wstring ProxyCredentialsRefusedReason(const std::wstring& proxy, int times);
// " (5 attempts made)"; nothing for a single attempt, whose error says all there is.
std::wstring AttemptsMadeReason(int attempts);
// The server sent only <bytes> bytes in the last <seconds> seconds
std::wstring TrickleReason(std::uint64_t bytes, std::uint32_t seconds);

// Why a connection failed, from the system's code, its message for it, the bound on each
// wait for the server and how long this wait lasted. A time-out says how long the server
// sent nothing; so does a broken connection that came only once the whole bound had
// passed, since under Wine a request left unanswered fails as "connection aborted". A
// broken or refused connection otherwise says so in plain words (the system has no text
// for the socket codes WinINet passes on); so does a server certificate that the system
// refused, saying what is wrong with it; any other code keeps the system's message.
// The server did not complete its response head within <bound>
std::wstring HeadTooSlowReason(std::uint32_t timeout_ms);

// Whether a request that failed with the system's `code` may fare better if tried again:
// a time-out, a refused, broken or reset connection, a response the server left unfinished.
// Not a name that cannot be resolved, a refused certificate or anything else.
bool IsTransientConnectionError(std::uint32_t code);

std::wstring ConnectionFailureReason(std::uint32_t code, const std::wstring& system_message,
                                     std::uint32_t timeout_ms, std::uint64_t waited_ms);
