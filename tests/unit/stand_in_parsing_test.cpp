// The Wine tests judge command lines by what the platform stand-in parsed and logged, so
// its parser and log are checked here against the platform's own rules.
#include <gtest/gtest.h>

#include "../tools/platform_arguments.h"
#include "../tools/standin_log.h"

using Args = std::vector<std::wstring>;

TEST(ParsePlatformCommandLine, SplitsByTheCRuntimesRules) {
  struct Case {
    const char* name;
    std::wstring line;
    std::wstring program;
    Args args;
  } cases[] = {
      {"quoted program with spaces and parentheses",
       L"\"C:\\Program Files (x86)\\1cv8\\bin\\1cv8.exe\" ENTERPRISE",
       L"C:\\Program Files (x86)\\1cv8\\bin\\1cv8.exe", {L"ENTERPRISE"}},
      {"bare program, no arguments", L"C:\\wf\\1cv8.exe", L"C:\\wf\\1cv8.exe", {}},
      {"value attached to its switch", L"1cv8.exe /N\"Иван Петров\" /P\"p&ss ^|\"", L"1cv8.exe",
       {L"/NИван Петров", L"/Pp&ss ^|"}},
      {"value after a space", L"1cv8.exe /F \"C:\\my base\"", L"1cv8.exe", {L"/F", L"C:\\my base"}},
      {"quote in the middle of a word", L"1cv8.exe File=\"C:\\my base\" /AddInList Kalvera", L"1cv8.exe",
       {L"File=C:\\my base", L"/AddInList", L"Kalvera"}},
      {"backslashes not before a quote stay", L"1cv8.exe C:\\a\\\\b\\ \"x\\\\y\"", L"1cv8.exe",
       {L"C:\\a\\\\b\\", L"x\\\\y"}},
      // A single backslash before the closing quote escapes it: the folder runs on and
      // swallows the next switch, which is why the utility doubles it.
      {"trailing backslash, single", L"1cv8.exe /F \"D:\\\" /UpdateDBCfg", L"1cv8.exe",
       {L"/F", L"D:\" /UpdateDBCfg"}},
      {"trailing backslash, doubled", L"1cv8.exe /F \"D:\\\\\" /UpdateDBCfg", L"1cv8.exe",
       {L"/F", L"D:\\", L"/UpdateDBCfg"}},
      {"two trailing backslashes, doubled", L"1cv8.exe /F \"C:\\b\\\\\\\\\" x", L"1cv8.exe",
       {L"/F", L"C:\\b\\\\", L"x"}},
      {"three backslashes and a quote", L"1cv8.exe a\\\\\\\"b", L"1cv8.exe", {L"a\\\"b"}},
      {"backslashes in the program name stay", L"\"C:\\dir\\\" x", L"C:\\dir\\", {L"x"}},
      {"doubled quote inside quotes", L"1cv8.exe \"a\"\"b\" c", L"1cv8.exe", {L"a\"b", L"c"}},
      {"empty quoted value", L"1cv8.exe /N\"\" \"\" end", L"1cv8.exe", {L"/N", L"", L"end"}},
      {"runs of spaces and tabs", L"1cv8.exe  \tCONFIG   /S  \"srv\\base\"  ", L"1cv8.exe",
       {L"CONFIG", L"/S", L"srv\\base"}},
      {"unclosed quote runs to the end", L"1cv8.exe /P\"a b", L"1cv8.exe", {L"/Pa b"}},
      {"argument glued to a quoted program", L"\"C:\\a b\\1cv8.exe\"ENTERPRISE", L"C:\\a b\\1cv8.exe",
       {L"ENTERPRISE"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const PlatformCommandLine parsed = ParsePlatformCommandLine(c.line);
    EXPECT_EQ(parsed.program, c.program);
    EXPECT_EQ(parsed.arguments, c.args);
  }
}

TEST(StandInLog, ReadsBackWhatWasWrittenAndSkipsAnUnfinishedBlock) {
  const StandInRun first{12, L"\"C:\\a b\\1cv8.exe\" ENTERPRISE /N\"Иван\"", {L"ENTERPRISE", L"/NИван"}};
  const StandInRun second{40, L"1cv8.exe \"\" x", {L"", L"x"}};
  const std::wstring text = FormatStandInRun(first) + L"noise\n" + FormatStandInRun(second) +
                            L"BEGIN 44\r\nRAW 1cv8.exe CONFIG\r\nARG CONF";
  const std::vector<StandInRun> runs = ParseStandInLog(text);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].pid, 12u);
  EXPECT_EQ(runs[0].raw, first.raw);
  EXPECT_EQ(runs[0].args, first.args);
  EXPECT_EQ(runs[1].pid, 40u);
  // An empty argument keeps its line, so it is not lost.
  EXPECT_EQ(runs[1].args, second.args);
}
