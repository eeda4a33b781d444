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

TEST(ChooseExecutablePath, TakesTheFirstQueryThatAnswers) {
  struct Case {
    const char* name;
    std::optional<std::wstring> module_answer;
    unsigned major_version;
    std::optional<std::wstring> image_answer;
    std::wstring expected;
    int image_calls;
  } cases[] = {
      {"module answers, image not asked", L"C:\\m\\1cv8.exe", 6, L"C:\\i\\1cv8.exe", L"C:\\m\\1cv8.exe", 0},
      {"module fails on Vista or later", std::nullopt, 6, L"C:\\i\\1cv8.exe", L"C:\\i\\1cv8.exe", 1},
      {"module fails on Windows 10", std::nullopt, 10, L"C:\\i\\1cv8.exe", L"C:\\i\\1cv8.exe", 1},
      // Windows XP has no QueryFullProcessImageNameW: looking for it there is pointless.
      {"module fails on XP", std::nullopt, 5, L"C:\\i\\1cv8.exe", L"", 0},
      {"both fail", std::nullopt, 6, std::nullopt, L"", 1},
      // An empty answer is still an answer, not a reason to ask again.
      {"module answers empty", L"", 6, L"C:\\i\\1cv8.exe", L"", 0},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    CountingQuery module{c.module_answer};
    CountingQuery image{c.image_answer};
    EXPECT_EQ(ChooseExecutablePath(module.AsQuery(), c.major_version, image.AsQuery()), c.expected);
    EXPECT_EQ(module.calls, 1);
    EXPECT_EQ(image.calls, c.image_calls);
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
