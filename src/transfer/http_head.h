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
