#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "transfer/get_inet_file.h"
#include "transfer/transfer_texts.h"
#include "ui/sparing_progress_bar.h"

TEST(Hundreds, RoundsToTheNearestWithTiesToEven) {
  struct Case {
    std::uint32_t count;
    int hundreds;
  } cases[] = {
      {0, 0},       {49, 0},     {50, 0},          {51, 1},          {149, 1},
      {150, 2},     {151, 2},    {249, 2},         {250, 2},         {251, 3},
      {350, 4},     {1600, 16},  {3072, 31},       {200000, 2000},   {1000000, 10000},
      {307249, 3072}, {307250, 3072}, {307251, 3073}, {4294967295u, 42949673},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.count);
    EXPECT_EQ(Hundreds(c.count), c.hundreds);
  }
}

TEST(TransferTexts, DropTheTrailingBlanksAndFullStopsOfSystemMessages) {
  struct Case {
    std::wstring message;
    std::wstring trimmed;
  } cases[] = {
      {L"Access is denied.\r\n", L"Access is denied"},
      {L"The file exists. \r\n", L"The file exists"},
      {L"Wait...  ", L"Wait"},
      {L"Version 1.2 is required\r\n", L"Version 1.2 is required"},
      {L". .\r\n", L""},
      {L"", L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.message));
    EXPECT_EQ(TrimmedSystemMessage(c.message), c.trimmed);
  }
  EXPECT_EQ(CannotCreateFileText(L"C:\\Users\\u\\a b.cf", L"Access is denied.\r\n"),
            L"Cannot create file \"C:\\Users\\u\\a b.cf\". Access is denied");
}

namespace {

// Records what the control is told, and keeps what it would hold.
class RecordingBar : public SparingProgressBar {
 public:
  RecordingBar(int max, int position, int width)
      : SparingProgressBar(max, position), width(width), control_max(max),
        control_position(position) {}
  int width;
  int control_max;
  int control_position;
  int positions_told = 0;
  int ranges_told = 0;

 protected:
  int DrawnWidth() const override { return width; }
  void TellRange(int max) override {
    ++ranges_told;
    control_max = max;
    control_position = std::clamp(control_position, 0, max);
  }
  void TellPosition(int position) override {
    ++positions_told;
    control_position = position;
  }
};

}  // namespace

TEST(SparingProgressBar, ClampsLikeTheControl) {
  RecordingBar bar(100, 0, 454);
  bar.StepBy(31);
  bar.StepBy(31);
  bar.StepBy(31);
  bar.StepBy(31);
  EXPECT_EQ(bar.Position(), 100) << "stepped beyond Max";
  bar.SetPosition(3072);
  EXPECT_EQ(bar.Position(), 100);
  bar.SetPosition(-5);
  EXPECT_EQ(bar.Position(), 0);
  bar.SetPosition(80);
  bar.SetMax(12);
  EXPECT_EQ(bar.Position(), 12) << "a smaller range pulls the position in";
  EXPECT_EQ(bar.control_position, 12);
  bar.SetMax(0);
  bar.StepBy(31);
  EXPECT_EQ(bar.Position(), 0);
}

TEST(SparingProgressBar, TellsTheControlOnlyWhenTheFilledWidthChanges) {
  struct Case {
    const char* name;
    int max;
    int width;
    int steps;
    int most_told;  // positions the control hears of, at most
  } cases[] = {
      // 100 MB: 32,553 steps of 31 over Max 1,000,000 cross 454 pixels.
      {"100 MB", 1000000, 454, 32553, 454},
      // 1 MB: every step of 31 over Max 10000 moves the bar by a pixel or more.
      {"1 MB", 10000, 454, 326, 326},
      {"hidden bar", 1000000, 0, 32553, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingBar bar(100, 100, c.width);
    bar.SetMax(c.max);
    bar.SetPosition(0);
    for (int i = 0; i < c.steps; ++i) {
      bar.StepBy(31);
      // The control trails the bar by less than one pixel's worth of range.
      ASSERT_LT(static_cast<long long>(bar.Position() - bar.control_position) * c.width, c.max)
          << "after step " << i;
    }
    EXPECT_LE(bar.positions_told, c.most_told + 1);  // + the reset to 0
    EXPECT_GE(bar.positions_told, c.width == 0 ? 1 : c.most_told * 9 / 10)
        << "the bar still moves smoothly";
  }
}

TEST(SparingProgressBar, PassesAnExplicitPositionOnSoTheControlEndsExact) {
  RecordingBar bar(1000000, 0, 454);
  bar.StepBy(31);  // less than a pixel: the control still holds 0
  EXPECT_EQ(bar.control_position, 0);
  bar.SetPosition(1000000);
  EXPECT_EQ(bar.control_position, 1000000);
  bar.SetPosition(0);
  EXPECT_EQ(bar.control_position, 0);
  bar.SetMax(1000000);
  EXPECT_EQ(bar.ranges_told, 0) << "the same range again changes nothing";
}
