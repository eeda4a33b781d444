#pragma once
// What the transfer reads from the head of a response: the body's length and where a
// redirect points. The server is not trusted with either.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct ContentLength {
  std::optional<std::uint64_t> bytes;  // none: the response announced no length
  std::wstring fault;                  // not empty: the announced length is unusable
};

// The length announced by the Content-Length lines of one head, each as the server wrote
// it. A value is decimal digits with optional blanks around them and must fit in 64 bits;
// a line may list the same value several times ("100, 100"). Any other value, or lines
// that disagree, give a fault naming what was sent: a body whose end is unknown cannot be
// checked for completeness.
ContentLength ParseContentLength(const std::vector<std::wstring>& lines);

// The statuses that send the client elsewhere with a Location: 301, 302, 303, 307, 308.
bool IsRedirect(unsigned status);

// The absolute address a redirect's Location refers to from `base` (an absolute http or
// https address): an absolute address, one starting with "//", "/" or "?", or a path
// relative to the base's folder, with "." and ".." segments resolved and any fragment
// dropped. Nothing when the result is not an http or https address with a host.
std::optional<std::wstring> ResolveLocation(const std::wstring& base, const std::wstring& location);

// Whether a redirect from `from` to `to` (both absolute) leaves HTTPS for anything else:
// the file would then travel where anyone on the way can read and replace it, so such a
// redirect is refused, however the scheme is spelt.
bool LeavesHttps(const std::wstring& from, const std::wstring& to);

// A Content-Range of a 206 as "bytes <first>-<last>/<total>"; nothing for any other form
// (an unknown total "*" included: a body whose total is unknown cannot be checked).
struct ContentRange {
  std::uint64_t first;
  std::uint64_t last;
  std::uint64_t total;
};
std::optional<ContentRange> ParseContentRange(const std::wstring& value);

// What a later attempt sends as If-Range: the ETag when it is a strong one, else the
// Last-Modified date; empty when neither (the attempt then starts from zero). A weak ETag
// (W/"...") may stand for a body whose bytes differ, so a range of it could splice two
// versions together.
std::wstring ResumeValidator(const std::wstring& etag, const std::wstring& last_modified);

// The delay of a Retry-After given in seconds; nothing for a date or anything else.
std::optional<std::uint64_t> RetryAfterMs(const std::wstring& value);

// The statuses worth another attempt: the server or a gateway before it failed for now.
bool IsRetriedStatus(unsigned status);
