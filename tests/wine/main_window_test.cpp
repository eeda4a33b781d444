// The main window of the real executable as a user meets it: places, captions, fonts,
// banner, the panels following the check boxes, Tab, the folder picker and the password.
// The stacking itself is proven natively (form1_layout_test); here the window must show it.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <optional>
#include <set>

#include "harness.h"
#include "ui/form1_controls.h"
#include "ui/form1_layout.h"

using namespace harness;
using namespace std::chrono_literals;

namespace {

// The window colour, and the flat blue of the banner's top strip (tools/make_banner.py).
const COLORREF kBannerBlue = RGB(0x1E, 0x4E, 0x8C);
COLORREF WindowColour() { return ::GetSysColor(COLOR_BTNFACE); }


class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.emplace();
    main_ = window_->main();
  }

  HWND Get(int id) const { return window_->Get(id); }

  // Every stacked control of the window where the core's stacking puts it for the
  // window's client size, and no other panel showing (the stacking's own rules are
  // proven natively; here the window must follow them).
  void ExpectPlaced(const Form1Stacking& stacking) {
    RECT client{};
    ::GetClientRect(main_, &client);
    std::set<int> placed;
    for (const Placement& place : stacking.Place(client.right, client.bottom)) {
      const ControlSpec& spec = ControlOf(place.id);
      if (spec.parent_id != 0 || (spec.kind == ControlKind::Button && !spec.entry_choice)) continue;
      SCOPED_TRACE(place.id);
      placed.insert(place.id);
      EXPECT_TRUE(IsShown(Get(place.id)));
      const RECT r = RectIn(Get(place.id), main_);
      EXPECT_EQ((ControlRect{r.left, r.top, r.right, r.bottom}), place.rect);
    }
    for (int panel : {control_id::Panel1, control_id::Panel2, control_id::Panel3}) {
      EXPECT_EQ(IsShown(Get(panel)), placed.count(panel) > 0) << panel;
    }
  }

  // Clicks a check box as the user does and waits until its panel has followed.
  void ClickCheckBox(int box, int panel_to_wait_for, bool shown) {
    Click(Get(box));
    ASSERT_TRUE(WaitUntil([&] { return IsShown(Get(panel_to_wait_for)) == shown; }, 5s));
  }

  std::optional<StartedWindow> window_;
  HWND main_ = nullptr;
};

}  // namespace

TEST_F(MainWindow, StartsWithTheDesignedPlacesAndCaptions) {
  RECT client{};
  ::GetClientRect(main_, &client);
  EXPECT_EQ(client.right, kForm1ClientWidth);
  EXPECT_EQ(client.bottom, kForm1ClientHeight);
  ExpectPlaced(Form1Stacking{});
  // Inside Panel3, one pixel in from each side.
  const RECT edit1 = RectIn(Get(control_id::Edit1), Get(control_id::Panel3));
  EXPECT_EQ(edit1.left, 1);
  EXPECT_EQ(edit1.top, 41);
  EXPECT_EQ(edit1.right, 453);
  EXPECT_EQ(edit1.bottom, 68);

  struct Caption {
    int id;  // 0: the window
    std::wstring text;
    wchar_t after_1;  // 0: no "1" in it
  };
  const Caption captions[] = {
      {0, L"Установка базы Kalvera 1C", L'\u0043'},
      {control_id::Button6, L"Полная установка (+1с учебная версия)", L'\u0441'},
      {control_id::Button7, L"Создать и установить базу Kalvera 1C", L'\u0043'},
      {control_id::Button9, L"Обновить базу Kalvera 1С", L'\u0421'},
      {control_id::CheckBox1, L"В базе есть пользователь с правами на конфигуратор", 0},
      {control_id::CheckBox2, L"Серверная база данных", 0},
      {control_id::Label1, L"Путь к базе Kalvera 1C", L'\u0043'},
      {control_id::Label2, L"Имя пользователя", 0},
      {control_id::Label3, L"Пароль пользователя", 0},
      {control_id::Label4, L"Сервер БД (Srvr)", 0},
      {control_id::Label5, L"База (ref)", 0},
  };
  for (const Caption& c : captions) {
    SCOPED_TRACE(c.id);
    const std::wstring text = TextOf(c.id ? Get(c.id) : main_);
    EXPECT_EQ(text, c.text);
    const size_t one = text.find(L'1');
    if (c.after_1) {
      ASSERT_NE(one, std::wstring::npos);
      EXPECT_EQ(static_cast<int>(text[one + 1]), static_cast<int>(c.after_1));
    }
  }

  EXPECT_EQ(::GetWindowLongW(Get(control_id::StatusBar1), GWL_STYLE) & SBARS_SIZEGRIP, 0);
  EXPECT_NE(::GetWindowLongW(Get(control_id::Panel1), GWL_EXSTYLE) & WS_EX_CONTROLPARENT, 0);
  SaveScreenshot(main_, L"start");
}

TEST_F(MainWindow, DrawsButtonsInTahoma11AndCheckBoxesLabelsAndEditsInTahoma16) {
  // Ink is compared within the part of the control that holds only text: inside a
  // button's edges, and right of a check box's square. CheckBox2, 17 pixels high, cuts
  // the line of its 16-pixel font: only its width can tell.
  struct Drawn {
    int id;
    int pixels;
    RECT part;
    bool whole_height;
  };
  const Drawn drawn[] = {
      {control_id::Button7, 11, {4, 4, 450, 37}, true},
      {control_id::Button9, 11, {4, 4, 450, 37}, true},
      {control_id::CheckBox1, 16, {18, 0, 454, 35}, true},
      {control_id::CheckBox2, 16, {18, 0, 454, 17}, false},
      {control_id::Label1, 16, {0, 0, 452, 19}, true},
  };
  for (const Drawn& d : drawn) {
    SCOPED_TRACE(d.id);
    const SIZE seen = InkOnScreen(Get(d.id), d.part);
    const SIZE wanted = InkOfText(TextOf(Get(d.id)), L"Tahoma", d.pixels);
    EXPECT_EQ(seen.cx, wanted.cx);
    if (d.whole_height) {
      EXPECT_EQ(seen.cy, wanted.cy);
    }
  }
  ClickCheckBox(control_id::CheckBox1, control_id::Panel1, true);
  ClickCheckBox(control_id::CheckBox2, control_id::Panel2, true);
  for (int id : {control_id::Label2, control_id::Label3, control_id::Label4, control_id::Label5}) {
    SCOPED_TRACE(id);
    const SIZE seen = InkOnScreen(Get(id), {0, 0, 452, 19});
    const SIZE wanted = InkOfText(TextOf(Get(id)), L"Tahoma", 16);
    EXPECT_EQ(seen.cx, wanted.cx);
    EXPECT_EQ(seen.cy, wanted.cy);
  }
  for (int id : {control_id::Edit1, control_id::Edit2, control_id::Edit4, control_id::Edit5}) {
    SCOPED_TRACE(id);
    const std::wstring text = L"Базы Kalvera 1C/test";
    SetText(Get(id), text);
    EXPECT_EQ(EditTextSpan(Get(id)), TextSpan(text, L"Tahoma", 16));
  }
}

TEST_F(MainWindow, DrawsTheBannerAtTheTopLeftOverTheWindowColour) {
  HWND image1 = Get(control_id::Image1);
  struct Pixel {
    const char* where;
    int x, y;
    COLORREF colour;
  };
  const Pixel pixels[] = {
      {"the banner's flat top strip", 200, 20, kBannerBlue},
      {"the banner's left edge", 1, 100, kBannerBlue},
      {"a transparent corner of the banner", 1, 1, WindowColour()},
      {"beside the banner", 430, 100, WindowColour()},
      {"below the banner", 100, 198, WindowColour()},
  };
  for (const Pixel& p : pixels) {
    SCOPED_TRACE(p.where);
    EXPECT_TRUE(WaitForScreenPixel(image1, p.x, p.y, p.colour, 5s))
        << std::hex << "seen " << ScreenPixel(image1, p.x, p.y) << ", wanted " << p.colour;
  }
}

TEST_F(MainWindow, CheckBoxesShowTheirPanelsDirectlyAboveImage2) {
  struct Step {
    int box;
    int panel;  // the one to wait for
    std::vector<std::pair<EntryChoice, bool>> shows;  // what the click changes
  };
  struct Case {
    const wchar_t* shot;
    std::vector<Step> clicks;
  };
  const Step tick1{control_id::CheckBox1, control_id::Panel1, {{EntryChoice::Panel1, true}}};
  const Step tick2{control_id::CheckBox2, control_id::Panel2,
                   {{EntryChoice::Panel2, true}, {EntryChoice::Panel3, false}}};
  const Case cases[] = {
      {L"checkbox1", {tick1}},
      {L"checkbox2", {tick2}},
      {L"checkbox1_then_checkbox2", {tick1, tick2}},
      {L"checkbox2_then_checkbox1", {tick2, tick1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(c.shot));
    Form1Stacking expected;
    for (const Step& step : c.clicks) {
      ClickCheckBox(step.box, step.panel, true);
      for (const auto& [choice, shown] : step.shows) expected.SetShown(choice, shown);
    }
    ExpectPlaced(expected);
    SaveScreenshot(main_, c.shot);
    // Back to the start: both boxes unticked, Panel3 alone.
    if (IsChecked(Get(control_id::CheckBox1))) ClickCheckBox(control_id::CheckBox1, control_id::Panel1, false);
    if (IsChecked(Get(control_id::CheckBox2))) ClickCheckBox(control_id::CheckBox2, control_id::Panel3, true);
    ExpectPlaced(Form1Stacking{});
  }
}

TEST_F(MainWindow, TabWalksTheVisibleControlsInOrderAndStartsAtButton6) {
  EXPECT_EQ(FocusedControl(main_), Get(control_id::Button6));
  const std::vector<int> without_panels = {control_id::Button7, control_id::Button9, control_id::CheckBox1,
                                           control_id::CheckBox2, control_id::Edit1, control_id::Button6};
  for (int id : without_panels) {
    SCOPED_TRACE(id);
    EXPECT_EQ(PressTab(main_), Get(id));
  }
  // Keyboard focus alone in Edit1 opened nothing on the way.
  EXPECT_FALSE(WaitForDialog(window_->pid(), L"Select Folder", 1500ms));

  ClickCheckBox(control_id::CheckBox1, control_id::Panel1, true);
  ClickCheckBox(control_id::CheckBox2, control_id::Panel2, true);
  // The click left the focus on CheckBox2; start the walk from Button6 again.
  while (FocusedControl(main_) != Get(control_id::Button6)) ASSERT_TRUE(PressTab(main_));
  const std::vector<int> with_panels = {control_id::Button7, control_id::Button9, control_id::CheckBox1,
                                        control_id::Edit2,   control_id::Edit3,   control_id::CheckBox2,
                                        control_id::Edit4,   control_id::Edit5,   control_id::Button6};
  for (int id : with_panels) {
    SCOPED_TRACE(id);
    EXPECT_EQ(PressTab(main_), Get(id));
  }
}

TEST_F(MainWindow, AResizedWindowStretchesBothGroupsAndNeverShowsTheHiddenButtons) {
  RECT frame{}, client{};
  ::GetWindowRect(main_, &frame);
  ::GetClientRect(main_, &client);
  const int extra_width = 1200 - (frame.right - frame.left), extra_height = 900 - (frame.bottom - frame.top);
  ASSERT_TRUE(::SetWindowPos(main_, nullptr, 0, 0, frame.right - frame.left + extra_width,
                             frame.bottom - frame.top + extra_height, SWP_NOZORDER | SWP_NOACTIVATE));
  const int width = client.right + extra_width, height = client.bottom + extra_height;
  ASSERT_TRUE(WaitUntil([&] { return RectIn(Get(control_id::ProgressBar1), main_).bottom == height; }, 5s));
  ASSERT_EQ(RectIn(Get(control_id::ProgressBar1), main_).right, width);
  ExpectPlaced(Form1Stacking{});
  for (int id : {control_id::Button1, control_id::Button2, control_id::Button3, control_id::Button4,
                 control_id::Button5, control_id::Button8}) {
    SCOPED_TRACE(id);
    EXPECT_FALSE(IsShown(Get(id)));
  }
  HWND image1 = Get(control_id::Image1);
  EXPECT_TRUE(WaitForScreenPixel(image1, 200, 20, kBannerBlue, 5s));
  EXPECT_TRUE(WaitForScreenPixel(image1, 1000, 100, WindowColour(), 5s));
  SaveScreenshot(main_, L"resized");
}

TEST_F(MainWindow, AClickIntoEdit1OpensTheFolderPickerWhoseAnswerReplacesTheText) {
  const std::wstring folder = TestTmp() + L"\\Базы\\picked base";
  MakeDirectories(folder);
  HWND edit1 = Get(control_id::Edit1);
  const std::wstring start_text = TextOf(edit1);
  struct Case {
    const char* name;
    bool confirm;
    std::wstring expected;
  };
  const Case cases[] = {
      {"cancelled", false, start_text},
      {"confirmed", true, folder},
      {"cancelled after a choice", false, folder},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LeftClickAt(edit1, 5, 5);  // only places the caret
    HWND dialog = WaitForDialog(window_->pid(), L"Select Folder", 10s);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(::GetWindow(dialog, GW_OWNER), main_);
    EXPECT_FALSE(IsEnabled(main_));
    if (c.confirm) {
      SetText(::GetDlgItem(dialog, 1152), folder);
      Click(::GetDlgItem(dialog, IDOK));
    } else {
      Click(::GetDlgItem(dialog, IDCANCEL));
    }
    ASSERT_TRUE(WaitForWindowGone(dialog, 10s));
    ASSERT_TRUE(WaitUntil([&] { return IsEnabled(main_); }, 5s));
    EXPECT_EQ(TextOf(edit1), c.expected);
  }
}

TEST_F(MainWindow, MasksThePasswordAndStillPassesItWholeToThePlatform) {
  HWND edit3 = Get(control_id::Edit3);
  EXPECT_NE(::GetWindowLongW(edit3, GWL_STYLE) & ES_PASSWORD, 0);
  DWORD_PTR mask = 0;
  ::SendMessageTimeoutW(edit3, EM_GETPASSWORDCHAR, 0, 0, SMTO_ABORTIFHUNG, 5000, &mask);
  EXPECT_NE(mask, 0u);

  const std::wstring password = L"Пароль 1С & x";
  const std::wstring user = L"Иван";
  const std::wstring base = TestTmp() + L"\\base";
  ClickCheckBox(control_id::CheckBox1, control_id::Panel1, true);
  SetText(Get(control_id::Edit2), user);
  SetText(edit3, password);
  SetText(Get(control_id::Edit1), base);
  SaveScreenshot(main_, L"password_masked");

  // The new base installation runs the platform in user mode with the credentials as
  // soon as it sees a platform start.
  SetStandInBatchTime(300ms);
  InstallStandIn(kTypicalPlatformPath);
  Click(Get(control_id::Button7));
  auto box = WaitForMessageBox(window_->pid(), 10s);
  ASSERT_TRUE(box.has_value());
  ASSERT_TRUE(ClickOk(*box));
  ChildProcess started = StartStandIn(kTypicalPlatformPath);
  // Our own start, the base creation and the user-mode run, the last two in either order.
  const std::vector<StandInRun> runs = WaitForStandInRuns(kTypicalPlatformPath, 3, 30s);
  ASSERT_EQ(runs.size(), 3u);
  std::optional<StandInRun> user_mode;
  for (const StandInRun& run : runs) {
    if (run.pid != started.pid() && !run.args.empty() && run.args[0] == L"ENTERPRISE") user_mode = run;
  }
  ASSERT_TRUE(user_mode.has_value());
  const std::vector<std::wstring> expected = {L"ENTERPRISE", L"/F", base, L"/N" + user, L"/P" + password};
  EXPECT_EQ(user_mode->args, expected);
  CloseStandIn(user_mode->pid);
}
