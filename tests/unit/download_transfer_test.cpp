#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "base/error.h"
#include "download_fakes.h"
#include "transfer/transfer_abandoned.h"

namespace {

const std::wstring kUrl = L"http://127.0.0.1:47831/install/download/Setup1C.zip";
const std::wstring kPath = L"C:\\Users\\tester\\Downloads\\KalveraDownload\\update_pack.zip";

}  // namespace

TEST(GetInetFile, StoresTheBodyExactlyAndPutsTheBarAtTheHundredsReceivedAfterEachRead) {
  struct Case {
    const char* what;
    std::uint32_t piece;
    std::uint32_t length;
    std::vector<int> positions;  // after each read, the empty last one included
  } cases[] = {
      // Reads of 50 bytes round to 0 hundreds each, yet four of them are 2 hundreds.
      {"50-byte reads", 50, 300, {0, 1, 2, 2, 2, 3, 3}},
      {"100-byte reads", 100, 300, {1, 2, 3, 3}},
      {"51-byte reads", 51, 153, {1, 1, 2, 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TransferRig rig;
    rig.http.next.content_length = c.length;
    rig.http.next.body = PatternBody(c.length);
    rig.http.next.piece = c.piece;

    EXPECT_TRUE(rig.Run(kUrl, kPath));

    EXPECT_EQ(rig.files.files[kPath].data, rig.http.next.body);
    EXPECT_EQ(rig.bar.positions_after_step, c.positions);
  }

  // Full blocks: 3072 bytes are 30.72 hundreds, so the bar stands at 31, 61, 92, ...
  TransferRig rig;
  rig.http.next.content_length = 1000000;
  rig.http.next.body = PatternBody(1000000);
  EXPECT_TRUE(rig.Run(kUrl, kPath));
  EXPECT_EQ(rig.files.files[kPath].data, rig.http.next.body);
  EXPECT_EQ(rig.bar.maxima, std::vector<int>{10000});
  ASSERT_EQ(rig.bar.positions_after_step.size(), 327u) << "325 full blocks, 1,600 bytes, the empty read";
  for (size_t i = 0; i < 325; ++i) {
    // No multiple of 3072 ends in 50, so rounding half up is the rule's rounding here.
    ASSERT_EQ(rig.bar.positions_after_step[i], static_cast<int>((3072 * (i + 1) + 50) / 100)) << i;
  }
  EXPECT_EQ(rig.bar.positions_after_step[325], 10000);
  EXPECT_EQ(rig.bar.position, 10000) << "a finished download shows a full bar";
}

// A server that sends a little now and then never trips the wait for data, and must
// still not hold the window for hours.
TEST(GetInetFile, EndsABodyThatBringsFewerThan3072BytesInTheLast30Seconds) {
  struct Case {
    const char* what;
    std::vector<Pace> paces;
    std::size_t length;
    std::optional<std::uint64_t> bytes_in_window;  // none: the body arrives whole
    std::uint64_t ended_at_ms;
  } cases[] = {
      {"102 bytes a second", {{0, 102, 1000}}, 20000, 3060, 30000},
      // Its last read brings 18 bytes: the body is whole then, and that is no trickle.
      {"103 bytes a second", {{0, 103, 1000}}, 20000, std::nullopt, 196000},
      {"3,071 bytes every 30 seconds", {{0, 3071, 30000}}, 20000, 3071, 30000},
      {"3,072 bytes every 30 seconds", {{0, 3072, 30000}}, 20000, std::nullopt, 240000},
      // 300,000 bytes in the first 0.1 s do not make up for the trickle that follows.
      {"fast, then a byte a second", {{0, 3000, 1}, {300000, 1, 1000}}, 400000, 30, 30100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TransferRig rig;
    rig.files.files[kPath].data = "older";
    rig.http.next.content_length = c.length;
    rig.http.next.body = PatternBody(c.length);
    rig.http.next.paces = c.paces;

    if (c.bytes_in_window) {
      EXPECT_EQ(rig.Raised(kUrl, kPath), L"Cannot download \"" + kUrl + L"\". The server sent only " +
                                     std::to_wstring(*c.bytes_in_window) + L" bytes in the last 30 seconds");
      EXPECT_FALSE(rig.files.Exists(kPath)) << "the partial file is removed";
      EXPECT_EQ(rig.files.open_files, 0);
      EXPECT_EQ(rig.http.open_responses, 0);
    } else {
      EXPECT_TRUE(rig.Run(kUrl, kPath));
      EXPECT_EQ(rig.files.files[kPath].data, rig.http.next.body);
    }
    EXPECT_EQ(rig.clock.now_ms, c.ended_at_ms);
  }
}

TEST(GetInetFile, ReadsInBlocksOf3072AndTurnsThePumpOncePerRead) {
  TransferRig rig;
  rig.http.next.content_length = 200000;
  rig.http.next.body = PatternBody(200000);

  rig.Run();

  // 65 full blocks, 320 bytes, then the empty read that ends the body.
  EXPECT_EQ(rig.http.read_sizes, std::vector<std::uint32_t>(67, 3072));
  std::vector<std::size_t> writes(65, 3072);
  writes.push_back(320);
  EXPECT_EQ(rig.files.write_sizes, writes) << "one write per non-empty block";
  EXPECT_EQ(rig.pump.turns, 67);
}

TEST(GetInetFile, SetsTheRangeFromTheContentLengthAndEndsFull) {
  struct Case {
    std::uint32_t length;
    int max;
  } cases[] = {
      {1000000, 10000}, {200000, 2000}, {307250, 3072}, {150, 2}, {250, 2},
      {151, 2},         {51, 1},        {50, 0},        {49, 0},  {0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    TransferRig rig;
    rig.bar.max = 100;
    rig.bar.position = 40;  // where an earlier download left it
    rig.http.next.content_length = c.length;
    rig.http.next.body = PatternBody(c.length);

    EXPECT_TRUE(rig.Run());

    EXPECT_EQ(rig.bar.maxima, std::vector<int>{c.max});
    EXPECT_EQ(rig.bar.max, c.max);
    EXPECT_EQ(rig.bar.position, c.max);
    EXPECT_EQ(rig.files.files[L"C:\\Users\\tester\\Documents\\Kalvera1C\\database.cf"].data.size(),
              c.length);
  }
}

TEST(GetInetFile, StartsTheBarAtZeroBeforeTheFirstBlock) {
  TransferRig rig;
  rig.bar.max = 100;
  rig.bar.position = 100;  // full after an earlier download
  rig.http.next.content_length = 1000000;
  rig.http.next.body = PatternBody(1000000);

  rig.Run();

  ASSERT_FALSE(rig.bar.positions_after_step.empty());
  EXPECT_EQ(rig.bar.positions_after_step.front(), 31);
}

TEST(GetInetFile, LeavesTheRangeAloneWithoutAContentLength) {
  TransferRig rig;
  rig.bar.max = 500;  // from an earlier download
  rig.bar.position = 7;
  rig.http.next.body = PatternBody(40000);
  rig.http.next.piece = 1000;  // a chunked server hands out less than asked

  EXPECT_TRUE(rig.Run(kUrl, kPath));

  EXPECT_TRUE(rig.bar.maxima.empty());
  EXPECT_EQ(rig.bar.max, 500);
  EXPECT_EQ(rig.bar.position, 500);
  std::vector<int> expected_steps(40, 10);
  expected_steps.push_back(0);
  EXPECT_EQ(rig.bar.steps, expected_steps);
  EXPECT_EQ(rig.files.files[kPath].data, rig.http.next.body);
}

TEST(GetInetFile, ReplacesALongerFileExactly) {
  TransferRig rig;
  rig.files.files[kPath].data = std::string(50000, 'x');
  rig.http.next.content_length = 1234;
  rig.http.next.body = PatternBody(1234);

  rig.Run(kUrl, kPath);

  EXPECT_EQ(rig.files.files[kPath].data, rig.http.next.body);
}

TEST(GetInetFile, AcceptsEverySuccessStatusAndNoOther) {
  struct Case {
    unsigned status;
    bool success;
  } cases[] = {{200, true}, {203, true}, {299, true}, {199, false}, {300, false},
               {302, false}, {304, false}, {404, false}, {500, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    TransferRig rig;
    rig.http.next.status = c.status;
    rig.http.next.content_length = 20;
    rig.http.next.body = PatternBody(20);
    if (c.success) {
      EXPECT_TRUE(rig.Run(kUrl, kPath));
    } else {
      EXPECT_THROW(rig.Run(kUrl, kPath), Error);
    }
  }
}

TEST(GetInetFile, ReportsEveryFailedTransferWithTheUrlAndTheReason) {
  struct Case {
    const char* name;
    ScriptedResponse response;
    std::wstring text;
    bool file_was_created;
  };
  auto refused = [] {
    ScriptedResponse r;
    r.no_response = true;
    r.no_response_reason = L"The attempt to connect to the server failed";
    return r;
  };
  auto status = [](unsigned code) {
    ScriptedResponse r;
    r.status = code;
    r.body = "<html><body>Error page</body></html>";
    r.content_length = static_cast<std::uint32_t>(r.body.size());
    return r;
  };
  auto cut = [] {
    ScriptedResponse r;
    r.content_length = 10000;
    r.body = PatternBody(4000);  // the server closed early
    return r;
  };
  auto reset = [] {
    ScriptedResponse r;
    r.body = PatternBody(10000);
    r.fails_at = 7000;
    r.read_failure = L"The server sent nothing for 30 seconds";
    return r;
  };
  const std::wstring head = L"Cannot download \"" + kUrl + L"\". ";
  const Case cases[] = {
      {"refused", refused(), head + L"The attempt to connect to the server failed", false},
      {"404", status(404), head + L"The server answered with HTTP status 404", false},
      {"500", status(500), head + L"The server answered with HTTP status 500", false},
      {"cut short", cut(), head + L"The connection closed after 4000 of 10000 bytes", true},
      {"read fails", reset(), head + L"The server sent nothing for 30 seconds", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TransferRig rig;
    rig.bar.max = 100;
    rig.bar.position = 60;
    rig.http.next = c.response;

    EXPECT_EQ(rig.Raised(kUrl, kPath), c.text);

    EXPECT_FALSE(rig.files.Exists(kPath)) << "no half-written file is left";
    EXPECT_EQ(rig.files.creates != 0, c.file_was_created)
        << "the file is created only once the status is known to be good";
    EXPECT_FALSE(rig.files.removed_while_open);
    EXPECT_EQ(rig.files.open_files, 0);
    EXPECT_EQ(rig.http.open_responses, 0);
    EXPECT_EQ(rig.bar.position, 100) << "3072, clamped to the range";
  }
}

TEST(GetInetFile, KeepsAnOlderFileWhenTheServerFailsBeforeTheBody) {
  struct Case {
    const char* name;
    bool no_response;
    unsigned status;
  } cases[] = {{"unreachable", true, 200}, {"404", false, 404}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TransferRig rig;
    rig.files.files[kPath].data = "older";
    rig.http.next.no_response = c.no_response;
    rig.http.next.no_response_reason = L"The server name or address could not be resolved";
    rig.http.next.status = c.status;
    rig.http.next.body = "not found";

    EXPECT_THROW(rig.Run(kUrl, kPath), Error);

    EXPECT_EQ(rig.files.files[kPath].data, "older");
  }
}

TEST(GetInetFile, ReportsAFileThatCannotBeCreatedWithItsPathAndTheSystemMessage) {
  TransferRig rig;
  rig.files.create_failure = L"The system cannot find the path specified";
  rig.http.next.content_length = 200000;
  rig.http.next.body = PatternBody(200000);

  EXPECT_EQ(rig.Raised(kUrl, kPath),
            L"Cannot create file \"" + kPath + L"\". The system cannot find the path specified");

  EXPECT_TRUE(rig.http.read_sizes.empty()) << "the read loop never starts";
  EXPECT_EQ(rig.http.open_responses, 0);
  EXPECT_TRUE(rig.files.removed.empty()) << "a file it could not create is not its to delete";
}

// Faults caught: the spare 5 % left out or rounded down, the package's second copy (its
// extraction) forgotten or applied to every file, the volume asked after the file is made
// or about another folder, a length unknown or a count the system cannot give refused.
TEST(GetInetFile, RefusesALengthTheFoldersVolumeCannotHoldBeforeTheFileIsMade) {
  const std::wstring kFolder = L"C:\\Users\\tester\\Downloads\\KalveraDownload";
  struct Row {
    const char* why;
    bool open;  // the package, unpacked beside it
    std::optional<std::uint64_t> length;
    std::optional<std::uint64_t> free;
    std::wstring error;  // empty: downloaded
  } rows[] = {
      {"the file and 5 % exactly", false, 2000, 2100, L""},
      {"one byte short of the 5 %", false, 2000, 2099,
       L"Not enough free space in \"" + kFolder + L"\": 2100 bytes are needed, 2099 are free"},
      {"a part of a byte of spare is a whole byte", false, 2001, 2101,
       L"Not enough free space in \"" + kFolder + L"\": 2102 bytes are needed, 2101 are free"},
      {"the package twice and 5 % exactly", true, 2000, 4200, L""},
      {"the package twice, one byte short", true, 2000, 4199,
       L"Not enough free space in \"" + kFolder + L"\": 4200 bytes are needed, 4199 are free"},
      {"no length: nothing to judge", false, std::nullopt, 0, L""},
      {"the system cannot tell", true, 2000, std::nullopt, L""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    TransferRig rig;
    rig.files.free_bytes = row.free;
    rig.http.next.content_length = row.length;
    rig.system.retry.attempts = 5;
    rig.http.next.body = PatternBody(row.length.value_or(2000));
    std::wstring error;
    try {
      if (row.open) {
        rig.RunOpen(kUrl, kPath);
      } else {
        rig.Run(kUrl, kPath);
      }
    } catch (const Error& e) {
      error = e.text();
    }
    EXPECT_EQ(error, row.error);
    if (row.length) {
      EXPECT_EQ(rig.files.free_asked, std::vector<std::wstring>{kFolder});
    }
    if (!row.error.empty()) {
      EXPECT_EQ(rig.files.creates, 0) << "nothing is written";
      EXPECT_EQ(rig.http.requests.size(), 1u) << "waiting does not make room";
    }
  }
}

// Faults caught: a 407 reported as a plain HTTP error without asking; the request made
// anew instead of sent again where the credentials were given; a Cancel tried again over
// the attempts, so the dialog comes back five times; no end to a proxy that never takes
// what is typed; the proxy left out of the error.
TEST(GetInetFile, AsksForAProxysCredentialsAndSendsTheRequestAgainUntilCancelled) {
  using L = ProxyLogin;
  const std::wstring kProxy = L"proxy.corp.example:3128";
  const std::wstring kFailed = L"Cannot download \"" + kUrl + L"\". ";
  struct Row {
    const char* why;
    std::vector<std::pair<ProxyLogin, unsigned>> logins;
    std::wstring proxy;
    std::wstring error;  // empty: downloaded
    int asked;
    std::size_t requests;
  } rows[] = {
      {"given and taken", {{L::resent, 200}}, kProxy, L"", 1, 1},
      {"mistyped once", {{L::resent, 407}, {L::resent, 200}}, kProxy, L"", 2, 1},
      {"cancelled", {}, kProxy,
       kFailed + L"The proxy \"" + kProxy + L"\" asks for a user name and password, and none was given", 1, 1},
      {"cancelled, the proxy unknown", {}, L"",
       kFailed + L"The proxy server asks for a user name and password, and none was given", 1, 1},
      {"refused five times",
       {{L::resent, 407}, {L::resent, 407}, {L::resent, 407}, {L::resent, 407}, {L::resent, 407}, {L::resent, 200}},
       kProxy, kFailed + L"The proxy \"" + kProxy + L"\" refused the user name and password 5 times", 5, 1},
      {"the connection broke when sent again: another attempt", {{L::failed, 0}}, kProxy,
       kFailed + L"The connection was reset (2 attempts made)", 2, 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    TransferRig rig;
    rig.system.retry = RetryPlan{2, {0}, 0};
    rig.http.next.status = 407;
    rig.http.next.proxy_logins = row.logins;
    rig.http.next.proxy_name = row.proxy;
    rig.http.next.content_length = 5000;
    rig.http.next.body = PatternBody(5000);
    std::wstring error;
    try {
      rig.Run(kUrl, kPath);
    } catch (const Error& e) {
      error = e.text();
    }
    EXPECT_EQ(error, row.error);
    EXPECT_EQ(rig.http.proxy_logins_asked, row.asked);
    EXPECT_EQ(rig.http.requests.size(), row.requests);
    if (row.error.empty()) {
      EXPECT_EQ(rig.files.files[kPath].data, rig.http.next.body);
    } else {
      EXPECT_EQ(rig.files.creates, 0);
    }
  }
}

TEST(GetInetFile, StopsAtAFailedWriteAndRemovesThePartialFile) {
  TransferRig rig;
  rig.files.disk_space = 10000;
  rig.http.next.content_length = 200000;
  rig.http.next.body = PatternBody(200000);

  EXPECT_EQ(rig.Raised(kUrl, kPath), L"Stream write error");

  EXPECT_EQ(rig.files.write_sizes.size(), 4u) << "no write after the failed one";
  EXPECT_EQ(rig.http.read_sizes.size(), 4u);
  EXPECT_FALSE(rig.files.Exists(kPath));
  EXPECT_FALSE(rig.files.removed_while_open);
  EXPECT_EQ(rig.http.open_responses, 0);
}

namespace {

ScriptedResponse RedirectTo(const std::wstring& location, unsigned status = 302) {
  ScriptedResponse r;
  r.status = status;
  r.location = location;
  r.content_length = 0;
  return r;
}

}  // namespace

TEST(GetInetFile, FollowsRelativeAndAbsoluteRedirectsToTheFile) {
  struct Case {
    const char* name;
    unsigned status;
    std::wstring location;
    std::wstring followed;
  } cases[] = {
      // Every redirect status, and each kind of Location (ResolveLocation has the rest).
      {"absolute, other host", 301, L"http://mirror.example/pkg/Setup1C.zip", L"http://mirror.example/pkg/Setup1C.zip"},
      {"absolute, https", 302, L"https://mirror.example/Setup1C.zip", L"https://mirror.example/Setup1C.zip"},
      {"absolute path", 303, L"/files/Setup1C.zip", L"http://127.0.0.1:47831/files/Setup1C.zip"},
      {"relative path", 307, L"v2/Setup1C.zip", L"http://127.0.0.1:47831/install/download/v2/Setup1C.zip"},
      {"relative, one up", 308, L"../Setup1C.zip", L"http://127.0.0.1:47831/install/Setup1C.zip"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TransferRig rig;
    rig.http.at[kUrl] = RedirectTo(c.location, c.status);
    rig.http.at[c.followed].content_length = 5000;
    rig.http.at[c.followed].body = PatternBody(5000);

    EXPECT_TRUE(rig.Run(kUrl, kPath));

    EXPECT_EQ(rig.http.requested, (std::vector<std::wstring>{kUrl, c.followed}));
    EXPECT_EQ(rig.files.files[kPath].data, PatternBody(5000));
    EXPECT_EQ(rig.bar.maxima, std::vector<int>{50}) << "the range comes from the file, not the redirect";
    EXPECT_EQ(rig.http.open_responses, 0);
  }
}

TEST(GetInetFile, FollowsTenRedirectsAndRefusesTheEleventhNamingTheFirstAddress) {
  // /r/1 -> /r/2 -> ... : each hop a new address, as a loop that never repeats itself.
  const auto hop = [](int i) { return L"http://127.0.0.1:47831/r/" + std::to_wstring(i); };
  for (int redirects : {10, 11}) {
    SCOPED_TRACE(redirects);
    TransferRig rig;
    rig.files.files[kPath].data = "older";
    rig.http.at[kUrl] = RedirectTo(L"/r/1");
    for (int i = 1; i < redirects; ++i) rig.http.at[hop(i)] = RedirectTo(L"/r/" + std::to_wstring(i + 1));
    rig.http.at[hop(redirects)].content_length = 100;
    rig.http.at[hop(redirects)].body = PatternBody(100);

    if (redirects == 10) {
      EXPECT_TRUE(rig.Run(kUrl, kPath));
      EXPECT_EQ(rig.files.files[kPath].data, PatternBody(100));
    } else {
      EXPECT_EQ(rig.Raised(kUrl, kPath), L"Cannot download \"" + kUrl +
                                     L"\". The server redirected the request more than 10 times: "
                                     L"too many redirects");
      EXPECT_EQ(rig.http.requested.size(), 11u) << "the eleventh redirect is not followed";
      EXPECT_EQ(rig.files.files[kPath].data, "older") << "no file is touched";
    }
    EXPECT_EQ(rig.http.open_responses, 0);
  }
}

TEST(GetInetFile, RefusesARedirectToAnythingButHttpOrWithoutAnAddress) {
  const std::wstring head = L"Cannot download \"" + kUrl + L"\". ";
  const std::wstring secure = L"https://127.0.0.1:47831/resources/database.cf";
  struct Case {
    const char* name;
    ScriptedResponse response;
    std::wstring text;
    std::wstring url = kUrl;
  } cases[] = {
      // Even to the same host and path: the rest of the way would be in the clear.
      {"https to http", RedirectTo(L"http://127.0.0.1:47831/resources/database.cf"),
       L"Cannot download \"" + secure + L"\". The server redirected the secure request to "
       L"\"http://127.0.0.1:47831/resources/database.cf\", which is not secure: the file could be read and "
       L"replaced on the way",
       secure},
      {"ftp", RedirectTo(L"ftp://mirror.example/Setup1C.zip"),
       head + L"The server redirected the request to \"ftp://mirror.example/Setup1C.zip\", which is not an "
              L"http or https address"},
      {"file", RedirectTo(L"file:///C:/Windows/win.ini"),
       head + L"The server redirected the request to \"file:///C:/Windows/win.ini\", which is not an http "
              L"or https address"},
      {"no Location", RedirectTo(L"", 301), head + L"The server answered with redirect status 301 but named no address"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TransferRig rig;
    rig.http.at[c.url] = c.response;

    EXPECT_EQ(rig.Raised(c.url, kPath), c.text);

    EXPECT_EQ(rig.http.requested.size(), 1u);
    EXPECT_EQ(rig.files.creates, 0);
  }
}

TEST(GetInetFile, FailsABodyShorterThanASixtyFourBitLength) {
  // Read as 32 bits these lengths were taken for none, and the short body for a whole one.
  struct Case {
    const char* name;
    std::uint64_t length;
    size_t sent;
    int max;
  } cases[] = {
      {"5,000,000,000 announced, 1 MB sent", 5000000000u, 1000000, 50000000},
      {"4 GiB + 100,000 announced, 100,000 sent", 4295067296u, 100000, 42950673},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TransferRig rig;
    rig.http.next.content_length = c.length;
    rig.http.next.body = PatternBody(c.sent);

    EXPECT_EQ(rig.Raised(kUrl, kPath), L"Cannot download \"" + kUrl + L"\". The connection closed after " +
                                   std::to_wstring(c.sent) + L" of " + std::to_wstring(c.length) + L" bytes");

    EXPECT_EQ(rig.bar.maxima, std::vector<int>{c.max});
    EXPECT_FALSE(rig.files.Exists(kPath));
    // What the run log says of it: a failed transfer still tells how far it came.
    EXPECT_EQ(rig.facts.status, 200u);
    EXPECT_EQ(rig.facts.length, c.length);
    EXPECT_EQ(rig.facts.bytes, c.sent);
  }
}

TEST(GetInetFile, RefusesAnUnusableOrOverrunLengthBeforeOrWhileWriting) {
  const std::wstring head = L"Cannot download \"" + kUrl + L"\". ";
  struct Case {
    const char* name;
    std::vector<std::wstring> lines;
    size_t sent;
    std::wstring text;
    bool created;
  } cases[] = {
      {"malformed", {L"12x"}, 12, head + L"The server sent the length \"12x\", which is not a number of bytes", false},
      {"conflicting", {L"100", L"200"}, 100, head + L"The server sent two different lengths, 100 and 200 bytes", false},
      {"more than announced", {L"5000"}, 8000, head + L"The server sent more than the 5000 bytes it announced", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TransferRig rig;
    rig.bar.max = 100;
    rig.bar.position = 30;
    rig.http.next.content_length_lines = c.lines;
    rig.http.next.body = PatternBody(c.sent);

    EXPECT_EQ(rig.Raised(kUrl, kPath), c.text);

    EXPECT_EQ(rig.files.creates != 0, c.created);
    EXPECT_FALSE(rig.files.Exists(kPath));
    if (!c.created) {
      EXPECT_EQ(rig.bar.maxima, std::vector<int>{}) << "a length not believed sets no range";
    }
  }
}

TEST(GetInetFile, EndsAtTheNextBlockOnceAQuitRequestIsTakenUpAndRemovesThePartialFile) {
  // The handler boundary reports every Error; a closed window must not be reported.
  static_assert(!std::is_base_of_v<Error, TransferAbandoned>);
  for (int quit_turn : {1, 5}) {
    SCOPED_TRACE(quit_turn);
    TransferRig rig;
    rig.files.files[kPath].data = "older";
    rig.http.next.content_length = 200000;
    rig.http.next.body = PatternBody(200000);
    rig.pump.quit_at_turn = quit_turn;

    EXPECT_THROW(rig.Run(kUrl, kPath), TransferAbandoned);

    EXPECT_EQ(rig.http.read_sizes.size(), static_cast<size_t>(quit_turn)) << "no read after the quit";
    EXPECT_EQ(rig.pump.turns, quit_turn);
    EXPECT_FALSE(rig.files.Exists(kPath)) << "the partial file is removed";
    EXPECT_FALSE(rig.files.removed_while_open);
    EXPECT_EQ(rig.files.open_files, 0);
    EXPECT_EQ(rig.http.open_responses, 0);
  }
}
