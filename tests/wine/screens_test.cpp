// The main window at 144 DPI and on small screens, each run on a display of its own
// (tests/wine/CMakeLists.txt gives each screen size and DPI). The scaling and the fit
// rule are proven natively (form1_layout_test); here the real window must follow them.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "harness.h"
#include "ui/form1_controls.h"
#include "ui/form1_layout.h"

using namespace harness;
using namespace std::chrono_literals;

namespace {

const COLORREF kBannerBlue = RGB(0x1E, 0x4E, 0x8C);  // the banner's top strip (tools/make_banner.py)

class Screens : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(HarnessIsDpiAware());
    window_.emplace();
    main_ = window_->main();
  }

  HWND Get(int id) const { return window_->Get(id); }

  void ShowBothPanels() {
    Click(Get(control_id::CheckBox1));
    ASSERT_TRUE(WaitUntil([&] { return IsShown(Get(control_id::Panel1)); }, 5s));
    Click(Get(control_id::CheckBox2));
    ASSERT_TRUE(WaitUntil([&] { return IsShown(Get(control_id::Panel2)); }, 5s));
    ASSERT_TRUE(WaitForPainted(main_));
  }

  // Every shown control of the window, panels' insides included, where the core's layout
  // puts it for the window's client size at `dpi`.
  void ExpectPlaced(const Form1Stacking& stacking, int dpi) {
    RECT client{};
    ::GetClientRect(main_, &client);
    for (const Placement& place : stacking.Place(client.right, client.bottom, dpi)) {
      const ControlSpec& spec = ControlOf(place.id);
      HWND control = Get(place.id);
      HWND parent = spec.parent_id ? Get(spec.parent_id) : main_;
      if (!IsShown(control) || (spec.kind == ControlKind::Button && !spec.entry_choice)) continue;
      SCOPED_TRACE(place.id);
      const RECT r = RectIn(control, parent);
      EXPECT_EQ((ControlRect{r.left, r.top, r.right, r.bottom}), place.rect);
    }
  }

  std::optional<StartedWindow> window_;
  HWND main_ = nullptr;
};

RECT WorkArea() {
  RECT area{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

std::string Text(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

std::wstring ScreenName() {
  return std::to_wstring(::GetSystemMetrics(SM_CXSCREEN)) + L"x" + std::to_wstring(::GetSystemMetrics(SM_CYSCREEN));
}

}  // namespace

TEST_F(Screens, At144DpiTheControlsStandAtOneAndAHalfTheirDesignedPlaces) {
  constexpr int kDpi = 144;
  ASSERT_EQ(DisplayDpi(), kDpi) << "the run's prefix is not at 144 DPI";
  RECT client{};
  ::GetClientRect(main_, &client);
  EXPECT_EQ(client.right, ScaledLength(kForm1ClientWidth, kDpi));
  EXPECT_EQ(client.bottom, ScaledLength(kForm1ClientHeight, kDpi));
  EXPECT_TRUE(Inside(WindowRect(main_), WorkArea())) << Text(WindowRect(main_));
  ExpectPlaced(Form1Stacking{}, kDpi);
  // The 420 x 195 banner is drawn at 630 x 293: its flat top strip (rows 9 to 57 now)
  // reaches beyond x 420, and the window colour begins right of 630 and below 293.
  HWND image1 = Get(control_id::Image1);
  const COLORREF window_colour = ::GetSysColor(COLOR_BTNFACE);
  struct Pixel {
    int x, y;
    COLORREF colour;
  };
  for (const Pixel& p : {Pixel{560, 30, kBannerBlue}, Pixel{300, 12, kBannerBlue}, Pixel{650, 150, window_colour},
                         Pixel{100, 298, window_colour}}) {
    SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
    EXPECT_TRUE(WaitForScreenPixel(image1, p.x, p.y, p.colour, 5s)) << std::hex << ScreenPixel(image1, p.x, p.y);
  }
  // The fonts are scaled with the rest: Tahoma 11 and 16 become 17 and 24 pixels.
  struct Drawn {
    int id, pixels;
    RECT part;
  };
  const Drawn drawn[] = {{control_id::Button7, 17, {6, 6, 675, 56}}, {control_id::Label1, 24, {0, 0, 677, 29}}};
  for (const Drawn& d : drawn) {
    SCOPED_TRACE(d.id);
    const SIZE seen = InkOnScreen(Get(d.id), d.part);
    const SIZE wanted = InkOfText(TextOf(Get(d.id)), L"Tahoma", d.pixels);
    EXPECT_EQ(seen.cx, wanted.cx);
    EXPECT_EQ(seen.cy, wanted.cy);
  }
  SaveScreenshot(main_, L"dpi144_start");

  ShowBothPanels();
  Form1Stacking both;
  both.SetShown(EntryChoice::Panel1, true);
  both.SetShown(EntryChoice::Panel2, true);
  both.SetShown(EntryChoice::Panel3, false);
  ExpectPlaced(both, kDpi);
  SaveScreenshot(main_, L"dpi144_both_panels");
}

TEST_F(Screens, OnASmallScreenTheWindowAndWhatThePersonUsesLieInsideIt) {
  const RECT area = WorkArea();
  SCOPED_TRACE(Text(area));
  EXPECT_TRUE(Inside(WindowRect(main_), area)) << Text(WindowRect(main_));
  const auto expect_inside = [&](int id) {
    SCOPED_TRACE(id);
    EXPECT_TRUE(IsShown(Get(id)));
    EXPECT_TRUE(Inside(WindowRect(Get(id)), area)) << Text(WindowRect(Get(id)));
  };
  for (int id : {control_id::Button6, control_id::Button7, control_id::Button9, control_id::StatusBar1,
                 control_id::ProgressBar1, control_id::Edit1}) {
    expect_inside(id);
  }
  SaveScreenshot(main_, L"small_" + ScreenName() + L"_start");

  ShowBothPanels();
  EXPECT_TRUE(Inside(WindowRect(main_), area)) << Text(WindowRect(main_));
  for (int id : {control_id::Button6, control_id::Button7, control_id::Button9, control_id::StatusBar1,
                 control_id::ProgressBar1, control_id::Edit2, control_id::Edit3, control_id::Edit4,
                 control_id::Edit5}) {
    expect_inside(id);
  }
  SaveScreenshot(main_, L"small_" + ScreenName() + L"_both_panels");
}
