#include "base/error.h"

#include <gtest/gtest.h>

TEST(ErrorReport, AddsAFullStopOnlyAfterCharactersThatSortAfterIt) {
  EXPECT_EQ(ReportText(L"Stream write error"), L"Stream write error.");
  EXPECT_EQ(ReportText(L"Done."), L"Done.");
  EXPECT_EQ(ReportText(L"Wait..."), L"Wait...");
  EXPECT_EQ(ReportText(L"(a)"), L"(a)");  // ')' sorts before '.'
  EXPECT_EQ(ReportText(L"text\n"), L"text\n");
  EXPECT_EQ(ReportText(L"Ошибка"), L"Ошибка.");
  EXPECT_EQ(ReportText(L""), L"");
}
