#include "platform/process_path.h"

#include <gtest/gtest.h>

namespace {

// A path query that answers with `answer` and counts how often it was asked.
struct CountingQuery {
  std::optional<std::wstring> answer;
  int calls = 0;
  PathQuery AsQuery() {
    return [this] {
      ++calls;
      return answer;
    };
  }
};

}  // namespace

TEST(JudgeExecutableImage, AProcessGoneSinceTheSnapshotHasExitedAndAnyOtherFailureIsUnreadable) {
  using State = ExecutableImage::State;
  struct Case {
    const char* name;
    std::optional<std::uint32_t> open_error;
    bool signalled;
    std::optional<std::wstring> image_answer;
    State state;
    std::wstring path;
    int image_calls;
  } cases[] = {
      {"running, path read", std::nullopt, false, L"C:\\i\\1cv8.exe", State::kRead, L"C:\\i\\1cv8.exe", 1},
      // The id names no process any more.
      {"open fails with 87", 87u, false, L"C:\\i\\1cv8.exe", State::kExited, L"", 0},
      {"open denied", 5u, false, L"C:\\i\\1cv8.exe", State::kUnreadable, L"", 0},
      {"opened, already signalled", std::nullopt, true, L"C:\\i\\1cv8.exe", State::kExited, L"", 0},
      {"query fails", std::nullopt, false, std::nullopt, State::kUnreadable, L"", 1},
      // An empty path would run "" as the platform.
      {"query answers empty", std::nullopt, false, L"", State::kUnreadable, L"", 1},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    CountingQuery image{c.image_answer};
    const ExecutableImage judged = JudgeExecutableImage(c.open_error, L"why", c.signalled, image.AsQuery());
    EXPECT_EQ(judged.state, c.state);
    EXPECT_EQ(judged.path, c.path);
    EXPECT_EQ(image.calls, c.image_calls);
    if (c.open_error && c.state == State::kUnreadable) {
      EXPECT_EQ(judged.reason, L"why");
    }
  }
}

TEST(SystemErrorText, CodeWithTwoSpacesThenTheMessageOnItsOwnLine) {
  // The message comes as SystemMessage gives it, already without its full stop: the
  // report adds that one, so the box reads "...The parameter is incorrect." all the same.
  EXPECT_EQ(SystemErrorText(87, L"The parameter is incorrect"),
            L"System Error.  Code: 87.\r\nThe parameter is incorrect");
  // A code the system has no text for still names the code, printed as a signed number.
  EXPECT_EQ(SystemErrorText(0x80070005u, L""), L"System Error.  Code: -2147024891.\r\n");
}
