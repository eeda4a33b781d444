#include "transfer/http_head.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using Lines = std::vector<std::wstring>;

TEST(ParseContentLength, ReadsSixtyFourBitsAndRefusesAnythingElse) {
  struct Case {
    const char* name;
    Lines lines;
    std::optional<std::uint64_t> bytes;
    std::wstring fault;  // empty: no fault
  } cases[] = {
      {"none", {}, std::nullopt, L""},
      {"plain", {L"1000000"}, 1000000, L""},
      {"blanks around", {L" \t42 "}, 42, L""},
      // Past 32 bits: read as 32, these were taken for no length at all.
      {"5 GB", {L"5000000000"}, 5000000000u, L""},
      {"largest 64-bit", {L"18446744073709551615"}, 18446744073709551615u, L""},
      {"one past 64 bits", {L"18446744073709551616"}, std::nullopt,
       L"The server sent the length \"18446744073709551616\", which is not a number of bytes"},
      {"negative", {L"-1"}, std::nullopt, L"The server sent the length \"-1\", which is not a number of bytes"},
      {"hexadecimal", {L"0x10"}, std::nullopt, L"The server sent the length \"0x10\", which is not a number of bytes"},
      {"empty", {L""}, std::nullopt, L"The server sent the length \"\", which is not a number of bytes"},
      {"digits and junk", {L"100abc"}, std::nullopt,
       L"The server sent the length \"100abc\", which is not a number of bytes"},
      {"repeated, equal", {L"100", L"100"}, 100, L""},
      {"listed, equal", {L"100, 100"}, 100, L""},
      {"repeated, conflicting", {L"100", L"200"}, std::nullopt,
       L"The server sent two different lengths, 100 and 200 bytes"},
      {"listed, conflicting", {L"100,101"}, std::nullopt,
       L"The server sent two different lengths, 100 and 101 bytes"},
      {"list with an empty item", {L"100,"}, std::nullopt,
       L"The server sent the length \"100,\", which is not a number of bytes"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ContentLength length = ParseContentLength(c.lines);
    EXPECT_EQ(length.bytes, c.bytes);
    EXPECT_EQ(length.fault, c.fault);
  }
}

TEST(IsRedirect, TakesTheStatusesThatCarryANewAddress) {
  for (unsigned status : {301u, 302u, 303u, 307u, 308u}) {
    SCOPED_TRACE(status);
    EXPECT_TRUE(IsRedirect(status));
  }
  // 300 offers a choice, 304 says "unchanged", 305 names a proxy: none is a new address.
  for (unsigned status : {200u, 300u, 304u, 305u, 306u, 309u, 404u}) {
    SCOPED_TRACE(status);
    EXPECT_FALSE(IsRedirect(status));
  }
}

TEST(ResolveLocation, ResolvesRelativeAndAbsoluteLocationsToHttpOnly) {
  const std::wstring base = L"http://127.0.0.1:47831/install/download/Setup1C.zip?v=1";
  struct Case {
    const char* name;
    std::wstring location;
    std::optional<std::wstring> resolved;
  } cases[] = {
      {"absolute http", L"http://mirror.example/pkg/Setup1C.zip", L"http://mirror.example/pkg/Setup1C.zip"},
      {"absolute https", L"https://mirror.example:8443/a", L"https://mirror.example:8443/a"},
      {"same scheme, other host", L"//mirror.example/a/b", L"http://mirror.example/a/b"},
      {"absolute path", L"/files/Setup1C.zip", L"http://127.0.0.1:47831/files/Setup1C.zip"},
      {"relative to the folder", L"mirror/Setup1C.zip",
       L"http://127.0.0.1:47831/install/download/mirror/Setup1C.zip"},
      {"relative, one up", L"../other.zip", L"http://127.0.0.1:47831/install/other.zip"},
      // Above the root stays at the root.
      {"relative, far up", L"../../../../x.zip", L"http://127.0.0.1:47831/x.zip"},
      {"query only", L"?v=2", L"http://127.0.0.1:47831/install/download/Setup1C.zip?v=2"},
      // A fragment is never sent; the base's query is not carried to another path.
      {"fragment dropped", L"/a#part", L"http://127.0.0.1:47831/a"},
      {"fragment only", L"#part", L"http://127.0.0.1:47831/install/download/Setup1C.zip?v=1"},
      {"ftp", L"ftp://mirror.example/Setup1C.zip", std::nullopt},
      {"file", L"file:///C:/Windows/win.ini", std::nullopt},
      {"http without a host", L"http:///path", std::nullopt},
      {"http without slashes", L"http:path", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ResolveLocation(base, c.location), c.resolved);
  }
  EXPECT_EQ(ResolveLocation(L"http://host", L"a/b"), L"http://host/a/b") << "a base without a path";
  EXPECT_EQ(ResolveLocation(L"https://host/x/y", L"//other/z"), L"https://other/z") << "keeps https";
}

TEST(LeavesHttps, RefusesOnlyARedirectFromHttpsToAnotherScheme) {
  struct Case {
    std::wstring from;
    std::wstring to;
    bool leaves;
  } cases[] = {
      {L"https://a/x", L"http://a/x", true},
      // Schemes are case-insensitive: a server need not spell them as we do.
      {L"https://a/x", L"HTTP://a/x", true},
      {L"HTTPS://a/x", L"http://a/x", true},
      {L"https://a/x", L"https://b:8443/y", false},
      {L"https://a/x", L"HtTpS://a/y", false},
      // Plain HTTP may move to HTTPS, or stay.
      {L"http://a/x", L"https://a/x", false},
      {L"http://a/x", L"http://b/x", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.from) + " -> " + testing::PrintToString(c.to));
    EXPECT_EQ(LeavesHttps(c.from, c.to), c.leaves);
  }
}
