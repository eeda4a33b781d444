// A full installation whose package comes from a server on a poor network
// (tests/tools/http_server.py's modes): cut once, with and without Range honoured, cut
// every time, and a response head held back. Each case ends past the download or at the
// error report, before the setup program has done anything.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "scenario_fixture.h"

using namespace harness;
using namespace scenario;
using namespace std::chrono_literals;

// The package from a server on a poor network (tests/tools/http_server.py's modes), each
// case stopped at the setup's start or at the error report.
TEST(PoorNetwork, APackageArrivesOrEndsInOneReportWithTheWindowAnswering) {
  struct Case {
    const char* mode;
    bool arrives;
    std::size_t requests;
  } cases[] = {
      {"cut-once 40", true, 2},
      {"cut-once 40 ignore-range", true, 2},
      {"cut-always 40", false, 5},
      {"hold-head 20", true, 1},
  };
  const std::string package = TestPackage();
  const std::wstring seen = ServedPath(kPackageUrl + L".__seen");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    // A setup program of an earlier run would hold its file against the extraction.
    EndProcessesNamed(L"KalveraSetup1c.exe");
    ::DeleteFileW((DownloadFolder() + L"\\KalveraSetup1c.exe").c_str());
    ServePackage(package);
    ServePackageAs(c.mode);
    ::DeleteFileW(seen.c_str());
    auto [app, main] = StartAndClick(control_id::Button6);

    bool attempt_shown = false;
    const Answers answers = AskWhile(main, [&](const std::wstring& status) {
      attempt_shown = attempt_shown || status == L"Загрузка 1\u0441... (попытка 2 из 5)";
      return status.rfind(L"Загрузка 1\u0441...", 0) == 0 && !FindMessageBox(app.pid());
    }, 120s);

    EXPECT_LT(answers.longest_wait, 2000ms);
    const std::string lines = ReadFileBytes(seen);
    EXPECT_EQ(static_cast<std::size_t>(std::count(lines.begin(), lines.end(), '\n')), c.requests) << lines;
    if (c.requests > 1) {
      EXPECT_NE(lines.find("\nbytes="), std::string::npos) << "a range was asked";
      EXPECT_TRUE(attempt_shown) << "the next attempt was shown during the pause";
    }
    const auto box = FindMessageBox(app.pid());
    if (c.arrives) {
      EXPECT_FALSE(box.has_value()) << ToUtf8(box->text);
      EXPECT_NE(answers.last_status.rfind(L"Загрузка", 0), 0u) << "the chain went on past the download";
    } else {
      ASSERT_TRUE(box.has_value());
      EXPECT_NE(box->text.find(L"(5 attempts made)"), std::wstring::npos) << ToUtf8(box->text);
    }
    app.Terminate();
    EndProcessesNamed(L"KalveraSetup1c.exe");
  }
}
