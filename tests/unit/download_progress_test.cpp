#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "transfer/get_inet_file.h"
#include "ui/sparing_progress_bar.h"

TEST(Hundreds, RoundsToTheNearestWithTiesToEven) {
  struct Case {
    std::uint64_t count;
    std::uint64_t hundreds;
  } cases[] = {
      {0, 0},       {49, 0},     {50, 0},          {51, 1},          {149, 1},
      {150, 2},     {151, 2},    {249, 2},         {250, 2},         {251, 3},
      {350, 4},     {1600, 16},  {3072, 31},       {200000, 2000},   {1000000, 10000},
      {307249, 3072}, {307250, 3072}, {307251, 3073}, {4294967295u, 42949673},
      // Lengths past 32 bits: a package of 5 GB, and one just over 4 GiB.
      {5000000000u, 50000000}, {4295067296u, 42950673}, {~0ull, 184467440737095516ull},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.count);
    EXPECT_EQ(Hundreds(c.count), c.hundreds);
  }
}

TEST(BarMaxOf, TakesTheHundredsOfA64BitLengthClampedToTheControlsRange) {
  struct Case {
    std::uint64_t length;
    int max;
  } cases[] = {
      {1000000, 10000},
      {5000000000u, 50000000},
      {4295067296u, 42950673},
      // The control's range is a 32-bit int: 2,147,483,647 hundreds is the last that fits.
      {214748364700u, 2147483647},
      {214748364749u, 2147483647},
      {214748364751u, 2147483647},
      {~0ull, 2147483647},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    EXPECT_EQ(BarMaxOf(c.length), c.max);
  }
}

namespace {

// Records what the control is told and keeps what it would hold; its clock moves only
// by hand, and a flush it was asked for runs once the clock reaches it.
class RecordingBar : public SparingProgressBar {
 public:
  RecordingBar(int max, int position, int width)
      : SparingProgressBar(max, position), width(width), control_max(max),
        control_position(position) {}
  int width;
  std::uint64_t now_ms = 1000;
  std::optional<std::uint64_t> flush_due;
  int control_max;
  int control_position;
  int positions_told = 0;
  int ranges_told = 0;

  void Advance(double ms) {
    elapsed_ += ms;
    now_ms = 1000 + static_cast<std::uint64_t>(elapsed_);
    if (flush_due && now_ms >= *flush_due) {
      flush_due.reset();
      Flush();
    }
  }
  // The control lags by less than one pixel: it draws what the bar holds.
  bool DrawsCurrent() const {
    return static_cast<long long>(Position() - control_position) * width < Max();
  }

 protected:
  int DrawnWidth() const override { return width; }
  std::uint64_t NowMs() const override { return now_ms; }
  void FlushLater(std::uint64_t delay_ms) override {
    EXPECT_FALSE(flush_due.has_value()) << "one flush at a time";
    EXPECT_LE(delay_ms, kFrameMs);
    flush_due = now_ms + delay_ms;
  }
  void TellRange(int max) override {
    ++ranges_told;
    control_max = max;
    control_position = std::clamp(control_position, 0, max);
  }
  void TellPosition(int position) override {
    ++positions_told;
    control_position = position;
  }

 private:
  double elapsed_ = 0;
};

}  // namespace

TEST(SparingProgressBar, ClampsLikeTheControl) {
  RecordingBar bar(100, 0, 454);
  for (int i = 0; i < 4; ++i) {
    bar.StepBy(31);
    bar.Advance(50);
  }
  EXPECT_EQ(bar.Position(), 100) << "stepped beyond Max";
  EXPECT_EQ(bar.control_position, 100);
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

TEST(SparingProgressBar, TellsTheControlOfVisibleChangesAtMostOnceAFrame) {
  struct Case {
    const char* name;
    int max;
    int width;
    int steps;
    double ms_per_step;
    int fewest_told, most_told;  // positions the control hears of
    bool stays_current;          // the control draws what the bar holds after every step
  } cases[] = {
      // 100 MB over loopback: 32,553 blocks in 3.3 s, crossing 454 pixels; a frame is 40 ms.
      {"100 MB, fast", 1000000, 454, 32553, 0.1, 70, 84, false},
      // The same from a slow server: every pixel the bar crosses is drawn at once.
      {"100 MB, slow", 1000000, 454, 32553, 5, 454, 454, true},
      // 1 MB from a slow server: every step of 31 over Max 10000 moves a pixel or more,
      // until the bar is full after 323 steps.
      {"1 MB, slow", 10000, 454, 326, 50, 323, 323, true},
      {"hidden bar", 1000000, 0, 32553, 0.1, 0, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingBar bar(100, 0, c.width);
    bar.SetMax(c.max);
    for (int i = 0; i < c.steps; ++i) {
      bar.StepBy(31);
      bar.Advance(c.ms_per_step);
      if (c.stays_current) {
        ASSERT_TRUE(bar.DrawsCurrent()) << "after step " << i;
      }
    }
    EXPECT_GE(bar.positions_told, c.fewest_told);
    EXPECT_LE(bar.positions_told, c.most_told);
  }
}

TEST(SparingProgressBar, CatchesUpWithinAFrameWhenTheDataPauses) {
  RecordingBar bar(1000000, 0, 454);
  // A burst of 200 blocks within 20 ms, then nothing.
  for (int i = 0; i < 200; ++i) {
    bar.StepBy(31);
    bar.Advance(0.1);
  }
  EXPECT_FALSE(bar.DrawsCurrent()) << "the burst came within one frame";
  bar.Advance(SparingProgressBar::kFrameMs);
  EXPECT_TRUE(bar.DrawsCurrent());
}

TEST(SparingProgressBar, PassesAnExplicitPositionOnSoTheControlEndsExact) {
  RecordingBar bar(1000000, 0, 454);
  bar.StepBy(31);  // less than a pixel: the control still holds 0
  EXPECT_EQ(bar.control_position, 0);
  bar.SetPosition(1000000);
  EXPECT_EQ(bar.control_position, 1000000) << "within the frame of the last step";
  bar.SetPosition(0);
  EXPECT_EQ(bar.control_position, 0);
  bar.SetMax(1000000);
  EXPECT_EQ(bar.ranges_told, 0) << "the same range again changes nothing";
}
