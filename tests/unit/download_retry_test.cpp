#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "base/error.h"
#include "download_fakes.h"
#include "transfer/transfer_abandoned.h"

namespace {

const std::wstring kUrl = L"http://127.0.0.1:47831/install/download/Setup1C.zip";
const std::wstring kPath = L"C:\\Users\\tester\\Downloads\\KalveraDownload\\update_pack.zip";
const std::wstring kHead = L"Cannot download \"" + kUrl + L"\". ";
constexpr std::size_t kSize = 10000;

// The whole body, cut after `cut_at` bytes when given.
ScriptedResponse Full(std::optional<std::size_t> cut_at = std::nullopt, const std::string& body = PatternBody(kSize)) {
  ScriptedResponse r;
  r.content_length = body.size();
  r.body = cut_at ? body.substr(0, *cut_at) : body;
  r.etag = L"\"v1\"";
  return r;
}

// The rest of the body from `first`, as a server that honours the range sends it; cut
// after `cut_after` bytes when given.
ScriptedResponse Rest(std::size_t first, const std::wstring& content_range = L"",
                      std::optional<std::size_t> cut_after = std::nullopt) {
  ScriptedResponse r;
  r.status = 206;
  r.body = PatternBody(kSize).substr(first, cut_after.value_or(std::string::npos));
  r.content_length = kSize - first;
  r.content_range = content_range.empty()
                        ? L"bytes " + std::to_wstring(first) + L"-" + std::to_wstring(kSize - 1) + L"/" + std::to_wstring(kSize)
                        : content_range;
  return r;
}

ScriptedResponse Status(unsigned code, const std::wstring& retry_after = L"") {
  ScriptedResponse r;
  r.status = code;
  r.body = "<html>busy</html>";
  r.content_length = r.body.size();
  r.retry_after = retry_after;
  return r;
}

ScriptedResponse NoResponse(const std::wstring& reason, bool transient) {
  ScriptedResponse r;
  r.no_response = true;
  r.no_response_reason = reason;
  r.transient = transient;
  return r;
}

struct RetryRig : TransferRig {
  RetryRig() { system.retry.attempts = 5; }
};

}  // namespace

TEST(GetInetFileRetry, ResumesOnlyWhatContinuesTheSameBodyExactly) {
  const std::string body = PatternBody(kSize);
  const std::string other = PatternBody(kSize + 7).substr(7);  // the same size, other bytes
  struct Case {
    const char* what;
    std::vector<ScriptedResponse> turns;
    std::vector<std::optional<std::uint64_t>> ranges;  // asked, request by request
    std::wstring if_range;                             // of the second request
    std::optional<std::string> stored;                 // none: an error, `text`
    std::wstring text;
  };
  auto weak = Full(4000);
  weak.etag = L"W/\"v1\"";
  auto weak_dated = weak;
  weak_dated.last_modified = L"Tue, 08 Dec 2026 10:00:00 GMT";
  auto none = Full(4000);
  none.etag.clear();
  auto unknown_length = Full();
  unknown_length.content_length.reset();
  unknown_length.fails_at = 4000;
  unknown_length.read_failure = L"The connection to the server was broken (error 12030)";
  auto other_whole = Full(std::nullopt, other);
  const Case cases[] = {
      {"cut at 4000, strong ETag", {Full(4000), Rest(4000)}, {std::nullopt, 4000}, L"\"v1\"", body, L""},
      {"cut at 1, strong ETag", {Full(1), Rest(1)}, {std::nullopt, 1}, L"\"v1\"", body, L""},
      {"weak ETag, Last-Modified", {weak_dated, Rest(4000)}, {std::nullopt, 4000},
       L"Tue, 08 Dec 2026 10:00:00 GMT", body, L""},
      // Nothing tells that the server still has the same bytes: the whole body again.
      {"weak ETag alone", {weak, Full()}, {std::nullopt, std::nullopt}, L"", body, L""},
      {"no validator", {none, Full()}, {std::nullopt, std::nullopt}, L"", body, L""},
      {"no Content-Length", {unknown_length, Full()}, {std::nullopt, std::nullopt}, L"", body, L""},
      {"cut before any byte", {Full(0), Full()}, {std::nullopt, std::nullopt}, L"", body, L""},
      // The server's file changed, or it ignores Range: the file starts again from zero.
      {"200 to a range", {Full(4000), other_whole}, {std::nullopt, 4000}, L"\"v1\"", other, L""},
      {"206 that starts elsewhere", {Full(4000), Rest(3000)}, {std::nullopt, 4000}, L"\"v1\"", std::nullopt,
       kHead + L"The server answered the range from byte 4000 of 10000 with \"bytes 3000-9999/10000\", which "
               L"does not continue the file (2 attempts made)"},
      {"206 of another total", {Full(4000), Rest(4000, L"bytes 4000-10999/11000")}, {std::nullopt, 4000}, L"\"v1\"",
       std::nullopt,
       kHead + L"The server answered the range from byte 4000 of 10000 with \"bytes 4000-10999/11000\", which "
               L"does not continue the file (2 attempts made)"},
      {"206 that ends early", {Full(4000), Rest(4000, L"bytes 4000-8999/10000")}, {std::nullopt, 4000}, L"\"v1\"",
       std::nullopt,
       kHead + L"The server answered the range from byte 4000 of 10000 with \"bytes 4000-8999/10000\", which "
               L"does not continue the file (2 attempts made)"},
      {"five cuts", {Full(4000), Rest(4000, L"", 1000), Rest(5000, L"", 1000), Rest(6000, L"", 1000), Rest(7000, L"", 1000)},
       {std::nullopt, 4000, 5000, 6000, 7000}, L"\"v1\"", std::nullopt,
       kHead + L"The connection closed after 8000 of 10000 bytes (5 attempts made)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RetryRig rig;
    rig.http.turns = c.turns;
    if (c.stored) {
      EXPECT_TRUE(rig.Run(kUrl, kPath));
      EXPECT_EQ(rig.files.files[kPath].data, *c.stored);
      EXPECT_EQ(rig.bar.position, 100) << "full";
    } else {
      EXPECT_EQ(rig.Raised(kUrl, kPath), c.text);
      EXPECT_FALSE(rig.files.Exists(kPath)) << "the partial file is removed";
    }
    ASSERT_EQ(rig.http.requests.size(), c.ranges.size());
    for (std::size_t i = 0; i < c.ranges.size(); ++i) EXPECT_EQ(rig.http.requests[i].range_from, c.ranges[i]) << i;
    EXPECT_EQ(rig.http.requests[1].if_range, c.if_range);
    EXPECT_EQ(rig.files.creates, 1) << "one file handle serves every attempt";
    EXPECT_EQ(rig.files.open_files, 0);
    EXPECT_EQ(rig.http.open_responses, 0);
  }
}

TEST(GetInetFileRetry, RetriesABrokenTransferOrAServerBusyForNowAndNothingElse) {
  auto read_fails = Full();
  read_fails.fails_at = 3000;
  read_fails.read_failure = L"The server sent nothing for 30 seconds";
  auto trickle = Full();
  trickle.paces = {{0, 100, 1000}};
  auto overlong = Full(std::nullopt, PatternBody(kSize + 10));
  overlong.content_length = kSize;
  auto redirect = Status(302);
  redirect.location = L"ftp://mirror.example/Setup1C.zip";
  struct Case {
    const char* what;
    ScriptedResponse first;
    bool retried;
  } cases[] = {
      {"refused", NoResponse(L"The server refused the connection", true), true},
      {"time-out", NoResponse(L"The server sent nothing for 30 seconds", true), true},
      {"name not resolved", NoResponse(L"The server name or address could not be resolved", false), false},
      {"certificate refused", NoResponse(L"The server's certificate is not valid", false), false},
      {"cut short", Full(4000), true},
      {"read fails", read_fails, true},
      {"trickle", trickle, true},
      {"500", Status(500), true},
      {"502", Status(502), true},
      {"503", Status(503), true},
      {"504", Status(504), true},
      {"404", Status(404), false},
      {"403", Status(403), false},
      {"501", Status(501), false},
      {"505", Status(505), false},
      {"refused redirect", redirect, false},
      {"longer than announced", overlong, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RetryRig rig;
    rig.http.turns = {c.first};
    rig.http.next = Full();
    if (c.retried) {
      EXPECT_TRUE(rig.Run(kUrl, kPath));
      EXPECT_EQ(rig.files.files[kPath].data, PatternBody(kSize));
      EXPECT_EQ(rig.pause.waits_ms, std::vector<std::uint64_t>{2000});
    } else {
      EXPECT_THROW(rig.Run(kUrl, kPath), Error);
      EXPECT_EQ(rig.http.requests.size(), 1u);
      EXPECT_TRUE(rig.pause.waits_ms.empty());
    }
  }

  // Neither a file that cannot be made nor one that cannot be written fares better later.
  for (bool create : {true, false}) {
    SCOPED_TRACE(create ? "create fails" : "write fails");
    RetryRig rig;
    if (create) rig.files.create_failure = L"Access is denied";
    rig.files.disk_space = 5000;
    rig.http.next = Full();
    EXPECT_THROW(rig.Run(kUrl, kPath), Error);
    EXPECT_EQ(rig.http.requests.size(), 1u);
  }
}

TEST(GetInetFileRetry, PausesTwoFourEightSixteenSecondsOrAsTheServerAsksUpToThirty) {
  struct Case {
    const char* what;
    std::vector<ScriptedResponse> turns;
    std::vector<std::uint64_t> waits_ms;
    std::wstring text;  // empty: the file arrives
  } cases[] = {
      {"four refusals", std::vector<ScriptedResponse>(4, NoResponse(L"The server refused the connection", true)),
       {2000, 4000, 8000, 16000}, L""},
      {"five refusals", std::vector<ScriptedResponse>(5, NoResponse(L"The server refused the connection", true)),
       {2000, 4000, 8000, 16000}, kHead + L"The server refused the connection (5 attempts made)"},
      {"Retry-After 10", {Status(503, L"10")}, {10000}, L""},
      {"Retry-After 30", {Status(503, L"30"), Status(503, L"1")}, {30000, 4000}, L""},
      {"Retry-After 31", {Status(503, L"31")}, {2000}, L""},
      {"Retry-After a date", {Status(503, L"Fri, 11 Dec 2026 10:00:00 GMT")}, {2000}, L""},
      // The last attempt's error is the one reported.
      {"refused, then 404", {NoResponse(L"The server refused the connection", true), Status(404)}, {2000},
       kHead + L"The server answered with HTTP status 404 (2 attempts made)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RetryRig rig;
    rig.http.turns = c.turns;
    rig.http.next = Full();
    if (c.text.empty()) {
      EXPECT_TRUE(rig.Run(kUrl, kPath));
    } else {
      EXPECT_EQ(rig.Raised(kUrl, kPath), c.text);
      EXPECT_EQ(rig.facts.attempts, static_cast<int>(c.turns.size()));
    }
    EXPECT_EQ(rig.pause.waits_ms, c.waits_ms);
  }
}

TEST(GetInetFileRetry, TellsEachAttemptAndPauseAndKeepsTheBarAtTheBytesReceived) {
  RetryRig rig;
  rig.bar.max = 100;
  rig.http.turns = {Full(4000), NoResponse(L"The server refused the connection", true), Rest(4000)};

  EXPECT_TRUE(rig.Run(kUrl, kPath));

  EXPECT_EQ(rig.events.told,
            (std::vector<std::wstring>{
                L"note download attempt 1 of 5: asked whole body, HTTP 200, 4000 bytes, file at 4000, ended: " + kHead +
                    L"The connection closed after 4000 of 10000 bytes",
                L"note download pause 2000 ms before attempt 2 of 5", L"pausing 2/5",
                L"note download attempt 2 of 5: asked bytes=4000-, HTTP 0, 0 bytes, file at 4000, ended: " + kHead +
                    L"The server refused the connection",
                L"note download pause 4000 ms before attempt 3 of 5", L"pausing 3/5", L"flowing",
                L"note download attempt 3 of 5: asked bytes=4000-, HTTP 206, 6000 bytes, file at 10000, ended: whole"}));
  EXPECT_EQ(rig.bar.maxima, std::vector<int>{100}) << "the range is set once, by the full answer";
  // Blocks of 3072: the resumed bytes go on from where the bar stood through the pauses.
  EXPECT_EQ(rig.bar.positions_after_step, (std::vector<int>{31, 40, 40, 71, 100, 100}));
  EXPECT_EQ(rig.facts.bytes, kSize);
  EXPECT_EQ(rig.facts.attempts, 3);
}

TEST(GetInetFileRetry, EndsDuringAPauseWhenTheWindowIsClosedAndRemovesThePartialFile) {
  RetryRig rig;
  rig.files.files[kPath].data = "older";
  rig.http.turns = {Full(4000)};
  rig.pause.quit_at_pause = 1;

  EXPECT_THROW(rig.Run(kUrl, kPath), TransferAbandoned);

  EXPECT_EQ(rig.http.requests.size(), 1u) << "no attempt after the close";
  EXPECT_FALSE(rig.files.Exists(kPath));
  EXPECT_EQ(rig.files.open_files, 0);
}
