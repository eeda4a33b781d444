#include "transfer/http_head.h"

#include <cwctype>

namespace {

constexpr std::uint64_t kMaxLength = ~std::uint64_t{0};

std::wstring TrimBlanks(const std::wstring& text) {
  const std::size_t first = text.find_first_not_of(L" \t");
  if (first == std::wstring::npos) return std::wstring();
  return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

// Only digits: a sign, a fraction or an exponent would mean a number the server should
// not send, and strtoull would quietly wrap a value too large.
std::optional<std::uint64_t> DecimalBytes(const std::wstring& text) {
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return std::nullopt;
    const unsigned digit = static_cast<unsigned>(c - L'0');
    if (value > (kMaxLength - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

struct UrlParts {
  std::wstring scheme;     // without the colon
  std::wstring authority;  // without the two slashes; empty when there was none
  bool has_authority = false;
  std::wstring path;
  std::wstring query;  // with its "?", empty when there was none
};

bool IsSchemeCharacter(wchar_t c, bool first) {
  const bool letter = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
  if (first) return letter;
  return letter || (c >= L'0' && c <= L'9') || c == L'+' || c == L'-' || c == L'.';
}

// A reference split as RFC 3986 reads it, the fragment already dropped.
UrlParts Split(const std::wstring& reference) {
  UrlParts parts;
  std::size_t at = 0;
  const std::size_t colon = reference.find(L':');
  if (colon != std::wstring::npos && colon > 0) {
    bool scheme = true;
    for (std::size_t i = 0; i < colon && scheme; ++i) scheme = IsSchemeCharacter(reference[i], i == 0);
    if (scheme) {
      parts.scheme = reference.substr(0, colon);
      at = colon + 1;
    }
  }
  if (reference.compare(at, 2, L"//") == 0) {
    const std::size_t end = reference.find_first_of(L"/?", at + 2);
    parts.has_authority = true;
    parts.authority = reference.substr(at + 2, end == std::wstring::npos ? std::wstring::npos : end - at - 2);
    at = end == std::wstring::npos ? reference.size() : end;
  }
  const std::size_t query = reference.find(L'?', at);
  parts.path = reference.substr(at, query == std::wstring::npos ? std::wstring::npos : query - at);
  if (query != std::wstring::npos) parts.query = reference.substr(query);
  return parts;
}

void DropLastSegment(std::wstring& out) {
  const std::size_t slash = out.rfind(L'/');
  out.erase(slash == std::wstring::npos ? 0 : slash);
}

// RFC 3986, 5.2.4: a server may answer "../file" or "/a/./b", and a path that climbs
// above the root stays at the root.
std::wstring RemoveDotSegments(std::wstring in) {
  std::wstring out;
  while (!in.empty()) {
    if (in.starts_with(L"../")) {
      in.erase(0, 3);
    } else if (in.starts_with(L"./")) {
      in.erase(0, 2);
    } else if (in.starts_with(L"/./")) {
      in.erase(0, 2);
    } else if (in == L"/.") {
      in = L"/";
    } else if (in.starts_with(L"/../")) {
      in.erase(0, 3);
      DropLastSegment(out);
    } else if (in == L"/..") {
      in = L"/";
      DropLastSegment(out);
    } else if (in == L"." || in == L"..") {
      in.clear();
    } else {
      const std::size_t end = in.find(L'/', 1);
      out += in.substr(0, end);
      in.erase(0, end == std::wstring::npos ? in.size() : end);
    }
  }
  return out;
}

bool EqualsIgnoringCase(const std::wstring& text, const wchar_t* lower) {
  std::size_t i = 0;
  for (; i < text.size() && lower[i]; ++i) {
    if (static_cast<wchar_t>(std::towlower(text[i])) != lower[i]) return false;
  }
  return i == text.size() && !lower[i];
}

}  // namespace

ContentLength ParseContentLength(const std::vector<std::wstring>& lines) {
  ContentLength result;
  for (const std::wstring& line : lines) {
    std::size_t start = 0;
    while (true) {
      const std::size_t comma = line.find(L',', start);
      const std::wstring item = TrimBlanks(line.substr(start, comma == std::wstring::npos ? std::wstring::npos : comma - start));
      const std::optional<std::uint64_t> bytes = DecimalBytes(item);
      if (!bytes) {
        return {std::nullopt, L"The server sent the length \"" + line + L"\", which is not a number of bytes"};
      }
      if (result.bytes && *result.bytes != *bytes) {
        return {std::nullopt, L"The server sent two different lengths, " + std::to_wstring(*result.bytes) +
                                  L" and " + std::to_wstring(*bytes) + L" bytes"};
      }
      result.bytes = bytes;
      if (comma == std::wstring::npos) break;
      start = comma + 1;
    }
  }
  return result;
}

bool IsRedirect(unsigned status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

std::optional<std::wstring> ResolveLocation(const std::wstring& base, const std::wstring& location) {
  const UrlParts from = Split(base);
  const UrlParts reference = Split(location.substr(0, location.find(L'#')));
  UrlParts target;
  if (!reference.scheme.empty()) {
    target = reference;
    target.path = RemoveDotSegments(reference.path);
  } else {
    target.scheme = from.scheme;
    if (reference.has_authority) {
      target.has_authority = true;
      target.authority = reference.authority;
      target.path = RemoveDotSegments(reference.path);
      target.query = reference.query;
    } else {
      target.has_authority = from.has_authority;
      target.authority = from.authority;
      if (reference.path.empty()) {
        target.path = from.path;
        target.query = reference.query.empty() ? from.query : reference.query;
      } else {
        if (reference.path[0] == L'/') {
          target.path = RemoveDotSegments(reference.path);
        } else if (from.has_authority && from.path.empty()) {
          target.path = RemoveDotSegments(L"/" + reference.path);
        } else {
          const std::size_t slash = from.path.rfind(L'/');
          const std::wstring folder = slash == std::wstring::npos ? L"" : from.path.substr(0, slash + 1);
          target.path = RemoveDotSegments(folder + reference.path);
        }
        target.query = reference.query;
      }
    }
  }
  // Anything else (ftp:, file:, a scheme WinINet would hand to another handler) is not a
  // download this utility makes, whatever the server says.
  if (!EqualsIgnoringCase(target.scheme, L"http") && !EqualsIgnoringCase(target.scheme, L"https")) {
    return std::nullopt;
  }
  if (!target.has_authority || target.authority.empty()) return std::nullopt;
  return target.scheme + L"://" + target.authority + target.path + target.query;
}

bool LeavesHttps(const std::wstring& from, const std::wstring& to) {
  return EqualsIgnoringCase(Split(from).scheme, L"https") && !EqualsIgnoringCase(Split(to).scheme, L"https");
}

std::optional<ContentRange> ParseContentRange(const std::wstring& value) {
  const std::wstring text = TrimBlanks(value);
  if (text.compare(0, 6, L"bytes ") != 0) return std::nullopt;
  const std::size_t dash = text.find(L'-', 6);
  const std::size_t slash = text.find(L'/', 6);
  if (dash == std::wstring::npos || slash == std::wstring::npos || dash > slash) return std::nullopt;
  const std::optional<std::uint64_t> first = DecimalBytes(TrimBlanks(text.substr(6, dash - 6)));
  const std::optional<std::uint64_t> last = DecimalBytes(TrimBlanks(text.substr(dash + 1, slash - dash - 1)));
  const std::optional<std::uint64_t> total = DecimalBytes(TrimBlanks(text.substr(slash + 1)));
  if (!first || !last || !total || *first > *last || *last >= *total) return std::nullopt;
  return ContentRange{*first, *last, *total};
}

std::wstring ResumeValidator(const std::wstring& etag, const std::wstring& last_modified) {
  const std::wstring tag = TrimBlanks(etag);
  if (tag.size() >= 2 && tag.front() == L'"' && tag.back() == L'"') return tag;
  return TrimBlanks(last_modified);
}

std::optional<std::uint64_t> RetryAfterMs(const std::wstring& value) {
  const std::optional<std::uint64_t> seconds = DecimalBytes(TrimBlanks(value));
  if (!seconds || *seconds > kMaxLength / 1000) return std::nullopt;
  return *seconds * 1000;
}

bool IsRetriedStatus(unsigned status) {
  return status == 500 || status == 502 || status == 503 || status == 504;
}
