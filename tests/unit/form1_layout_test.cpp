#include "ui/form1_layout.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "fakes.h"
#include "base/control_ids.h"
#include "ui/form1_controls.h"
#include "ui/form1_handlers.h"
#include "ui/taskbar_progress.h"

namespace {

using Places = std::map<int, ControlRect>;

Places PlacesOf(const Form1Stacking& stacking, int width, int height, int dpi = 96) {
  Places places;
  for (const Placement& p : stacking.Place(width, height, dpi)) {
    EXPECT_TRUE(places.emplace(p.id, p.rect).second) << "placed twice: " << p.id;
  }
  return places;
}

// The controls that a user's click on a check box reaches: the box's own state, the
// handler, and through SetShown the stacking, as in the window.
class StackingControls : public FakeControls {
 public:
  Form1Stacking stacking;
  void SetShown(EntryChoice c, bool s) override {
    FakeControls::SetShown(c, s);
    stacking.SetShown(c, s);
  }
};

struct StackingForm : BasicFakeForm<StackingControls> {
  // As an automatic check box does: the tick flips, then the click handler runs.
  void Click(CheckBoxName box) {
    controls.checked[box] = !controls.checked[box];
    if (box == CheckBoxName::CheckBox1) {
      CheckBox1Click(form);
    } else {
      CheckBox2Click(form);
    }
  }
};

struct Span {
  int id;
  int top, bottom;
};

// The stacked controls of the window at its designed size, in the start state.
const std::vector<Span> kStartLayout = {
    {control_id::Image1, 0, 201},      {control_id::CheckBox1, 201, 236},
    {control_id::CheckBox2, 236, 253}, {control_id::Panel3, 413, 482},
    {control_id::Image2, 482, 503},    {control_id::Button6, 503, 544},
    {control_id::Button7, 544, 585},   {control_id::Button9, 585, 626},
    {control_id::StatusBar1, 626, 645}, {control_id::ProgressBar1, 645, 672},
};

const int kStackedIds[] = {control_id::Image1,  control_id::CheckBox1, control_id::CheckBox2,
                           control_id::Panel1,  control_id::Panel2,    control_id::Panel3,
                           control_id::Image2,  control_id::Button6,   control_id::Button7,
                           control_id::Button9, control_id::StatusBar1, control_id::ProgressBar1};

// Every stacked control that is placed is exactly one of `expected`, at full width.
void ExpectStack(const Places& places, const std::vector<Span>& expected, int width) {
  for (int id : kStackedIds) {
    SCOPED_TRACE(id);
    std::optional<Span> want;
    for (const Span& s : expected) {
      if (s.id == id) want = s;
    }
    const auto it = places.find(id);
    if (!want) {
      EXPECT_EQ(it, places.end()) << "a hidden control was placed";
      continue;
    }
    ASSERT_NE(it, places.end()) << "a shown control was not placed";
    EXPECT_EQ(it->second, (ControlRect{0, want->top, width, want->bottom}));
  }
}

std::vector<Span> WithPanels(std::vector<Span> panels) {
  std::vector<Span> all;
  for (const Span& s : kStartLayout) {
    if (s.id != control_id::Panel3) all.push_back(s);
  }
  all.insert(all.end(), panels.begin(), panels.end());
  return all;
}

}  // namespace

TEST(Form1Layout, StartsAsDesignedAtTheDesignedSize) {
  ExpectStack(PlacesOf(Form1Stacking{}, 454, 672), kStartLayout, 454);
}

TEST(Form1Layout, CheckBoxSequencesStackTheShownPanelsDirectlyAboveImage2) {
  using enum CheckBoxName;
  struct Case {
    const char* name;
    std::vector<CheckBoxName> clicks;
    std::vector<Span> panels;
  };
  const Case cases[] = {
      {"none", {}, {{control_id::Panel3, 413, 482}}},
      {"CheckBox1", {CheckBox1}, {{control_id::Panel1, 299, 413}, {control_id::Panel3, 413, 482}}},
      {"CheckBox2", {CheckBox2}, {{control_id::Panel2, 371, 482}}},
      {"CheckBox1 then CheckBox2", {CheckBox1, CheckBox2},
       {{control_id::Panel2, 257, 368}, {control_id::Panel1, 368, 482}}},
      {"CheckBox2 then CheckBox1", {CheckBox2, CheckBox1},
       {{control_id::Panel1, 257, 371}, {control_id::Panel2, 371, 482}}},
      {"CheckBox1 ticked and unticked", {CheckBox1, CheckBox1}, {{control_id::Panel3, 413, 482}}},
      {"CheckBox1 three times", {CheckBox1, CheckBox1, CheckBox1},
       {{control_id::Panel1, 299, 413}, {control_id::Panel3, 413, 482}}},
      {"CheckBox1 four times", {CheckBox1, CheckBox1, CheckBox1, CheckBox1}, {{control_id::Panel3, 413, 482}}},
      {"CheckBox2 ticked and unticked", {CheckBox2, CheckBox2}, {{control_id::Panel3, 413, 482}}},
      {"CheckBox2 three times", {CheckBox2, CheckBox2, CheckBox2}, {{control_id::Panel2, 371, 482}}},
      // Hiding the lower panel lets the upper one move down onto Image2.
      {"both, then CheckBox1 unticked", {CheckBox1, CheckBox2, CheckBox1}, {{control_id::Panel2, 371, 482}}},
      {"both, then CheckBox2 unticked", {CheckBox2, CheckBox1, CheckBox2},
       {{control_id::Panel3, 299, 368}, {control_id::Panel1, 368, 482}}},
      {"CheckBox1 unticked under CheckBox2", {CheckBox2, CheckBox1, CheckBox1}, {{control_id::Panel2, 371, 482}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StackingForm f;
    for (CheckBoxName box : c.clicks) f.Click(box);
    ExpectStack(PlacesOf(f.controls.stacking, 454, 672), WithPanels(c.panels), 454);
  }
}

TEST(Form1Layout, OnceAScenarioHasStartedOnlyTheBannerAndTheBottomBandsShow) {
  Form1Stacking stacking;
  for (EntryChoice choice : {EntryChoice::Panel1, EntryChoice::Panel2, EntryChoice::Panel3,
                             EntryChoice::CheckBox1, EntryChoice::CheckBox2, EntryChoice::Button6,
                             EntryChoice::Button7, EntryChoice::Button9}) {
    stacking.SetShown(choice, false);
  }
  const std::vector<Span> expected = {{control_id::Image1, 0, 201},
                                      {control_id::Image2, 605, 626},
                                      {control_id::StatusBar1, 626, 645},
                                      {control_id::ProgressBar1, 645, 672}};
  ExpectStack(PlacesOf(stacking, 454, 672), expected, 454);
}

TEST(Form1Layout, AWiderOrTallerWindowStretchesBothGroupsAndMovesTheBottomOneWithTheEdge) {
  struct Case {
    int width, height;
  };
  for (const Case c : {Case{800, 672}, Case{454, 900}, Case{1000, 1000}, Case{455, 673}}) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    StackingForm f;
    f.Click(CheckBoxName::CheckBox1);
    std::vector<Span> expected;
    const int shift = c.height - 672;
    for (const Span& s : WithPanels({{control_id::Panel1, 299, 413}, {control_id::Panel3, 413, 482}})) {
      const bool top_group = s.bottom <= 253;
      expected.push_back(top_group ? s : Span{s.id, s.top + shift, s.bottom + shift});
    }
    const Places places = PlacesOf(f.controls.stacking, c.width, c.height);
    ExpectStack(places, expected, c.width);
    // Inside the panels, labels and edits keep their heights and one pixel from each side.
    EXPECT_EQ(places.at(control_id::Edit3), (ControlRect{1, 86, c.width - 1, 113}));
    EXPECT_EQ(places.at(control_id::Label1), (ControlRect{1, 22, c.width - 1, 41}));
  }
}

TEST(Form1Layout, PanelChildrenLieWhereDesignedAtTheDesignedWidth) {
  const Places places = PlacesOf(Form1Stacking{}, 454, 672);
  const std::vector<Span> children = {
      {control_id::Label2, 21, 40}, {control_id::Edit2, 40, 67}, {control_id::Label3, 67, 86},
      {control_id::Edit3, 86, 113}, {control_id::Label4, 18, 37}, {control_id::Edit4, 37, 64},
      {control_id::Label5, 64, 83}, {control_id::Edit5, 83, 110}, {control_id::Label1, 22, 41},
      {control_id::Edit1, 41, 68},
  };
  for (const Span& c : children) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(places.at(c.id), (ControlRect{1, c.top, 453, c.bottom}));
  }
}

TEST(Form1Layout, HiddenButtonsStayBeyondTheDesignedRightEdgeAtAnyWidth) {
  struct Case {
    int id, top, width;
  };
  const Case buttons[] = {{control_id::Button1, 35, 337},  {control_id::Button2, 97, 337},
                          {control_id::Button3, 66, 337},  {control_id::Button4, 190, 337},
                          {control_id::Button5, 159, 337}, {control_id::Button8, 128, 249}};
  for (int width : {454, 1600}) {
    const Places places = PlacesOf(Form1Stacking{}, width, 672);
    for (const Case& b : buttons) {
      SCOPED_TRACE(std::to_string(b.id) + " at width " + std::to_string(width));
      EXPECT_EQ(places.at(b.id), (ControlRect{1000, b.top, 1000 + b.width, b.top + 25}));
    }
  }
}

TEST(Form1Layout, NoTwoShownStackedControlsOverlapWhenTheWindowIsHighEnough) {
  using enum CheckBoxName;
  const std::vector<std::vector<CheckBoxName>> sequences = {
      {}, {CheckBox1}, {CheckBox2}, {CheckBox1, CheckBox2}, {CheckBox2, CheckBox1}, {CheckBox2, CheckBox1, CheckBox2}};
  for (size_t i = 0; i < sequences.size(); ++i) {
    SCOPED_TRACE(i);
    StackingForm f;
    for (CheckBoxName box : sequences[i]) f.Click(box);
    std::vector<ControlRect> shown;
    for (const auto& [id, rect] : PlacesOf(f.controls.stacking, 454, 672)) {
      for (int stacked : kStackedIds) {
        if (stacked == id) shown.push_back(rect);
      }
    }
    for (size_t a = 0; a < shown.size(); ++a) {
      for (size_t b = a + 1; b < shown.size(); ++b) {
        EXPECT_TRUE(shown[a].bottom <= shown[b].top || shown[b].bottom <= shown[a].top)
            << shown[a].top << "-" << shown[a].bottom << " and " << shown[b].top << "-" << shown[b].bottom;
      }
    }
  }
}

namespace {

class ScriptedFolderPicker : public FolderPicker {
 public:
  std::optional<std::wstring> answer;
  bool fails = false;
  int shown = 0;
  std::optional<std::wstring> PickFolder() override {
    ++shown;
    if (fails) throw Error(L"Cannot show the folder picker");
    return answer;
  }
};

}  // namespace

TEST(Edit1Click, AConfirmedFolderReplacesTheTextAndACancelOrAFailureLeavesIt) {
  struct Case {
    const char* name;
    std::optional<std::wstring> answer;
    bool fails;
    std::wstring expected;
  };
  const Case cases[] = {
      {"confirmed", L"D:\\Базы\\new base", false, L"D:\\Базы\\new base"},
      {"cancelled", std::nullopt, false, L"typed text"},
      {"failed", L"D:\\unused", true, L"typed text"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeForm f;
    f.controls.SetText(EditName::Edit1, L"typed text");
    ScriptedFolderPicker picker;
    picker.answer = c.answer;
    picker.fails = c.fails;
    if (c.fails) {
      EXPECT_THROW(Edit1Click(f.form, picker), Error);
    } else {
      Edit1Click(f.form, picker);
    }
    EXPECT_EQ(picker.shown, 1);
    EXPECT_EQ(f.controls.Text(EditName::Edit1), c.expected);
  }
}

namespace {

int HeightOf(const Places& places, int id) { return places.at(id).bottom - places.at(id).top; }

// No two of the shown stacked controls share a pixel row.
void ExpectNoOverlap(const Places& places) {
  std::vector<std::pair<int, ControlRect>> shown;
  for (const auto& [id, rect] : places) {
    for (int stacked : kStackedIds) {
      if (stacked == id) shown.emplace_back(id, rect);
    }
  }
  for (size_t a = 0; a < shown.size(); ++a) {
    for (size_t b = a + 1; b < shown.size(); ++b) {
      const ControlRect &x = shown[a].second, &y = shown[b].second;
      EXPECT_TRUE(x.bottom <= y.top || y.bottom <= x.top) << shown[a].first << " and " << shown[b].first;
    }
  }
}

}  // namespace

TEST(Form1Layout, AShortWorkAreaTakesHeightFromImage1ThenFromImage2AndFromNothingElse) {
  using enum CheckBoxName;
  struct Case {
    const char* name;
    std::vector<CheckBoxName> clicks;
    int width, height, dpi;
    int image1, image2;  // the heights they keep
  };
  const Case cases[] = {
      {"designed size, start", {}, 454, 672, 96, 201, 21},
      {"designed size, both panels: 4 rows to spare", {CheckBox1, CheckBox2}, 454, 672, 96, 201, 21},
      {"one panel in 500 rows", {CheckBox1}, 454, 500, 96, 75, 21},
      {"both panels on 1024 x 600", {CheckBox1, CheckBox2}, 1024, 560, 96, 93, 21},
      {"both panels in 450 rows: the band too", {CheckBox1, CheckBox2}, 454, 450, 96, 0, 4},
      {"both panels in exactly the smallest height", {CheckBox2, CheckBox1}, 454, 446, 96, 0, 0},
      {"narrower only", {CheckBox1}, 300, 672, 96, 201, 21},
      {"144 DPI, one panel in 800 rows", {CheckBox1}, 681, 800, 144, 158, 32},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StackingForm f;
    for (CheckBoxName box : c.clicks) f.Click(box);
    const Places places = PlacesOf(f.controls.stacking, c.width, c.height, c.dpi);
    EXPECT_EQ(HeightOf(places, control_id::Image1), c.image1);
    EXPECT_EQ(HeightOf(places, control_id::Image2), c.image2);
    EXPECT_EQ(places.at(control_id::Image1).top, 0);
    EXPECT_EQ(places.at(control_id::ProgressBar1).bottom, c.height);
    for (const auto& [id, rect] : places) {
      if (id == control_id::Image1 || id == control_id::Image2 || rect.left != 0) continue;
      SCOPED_TRACE(id);
      EXPECT_EQ(rect.right, c.width);
      EXPECT_EQ(rect.bottom - rect.top, ScaledLength(ControlOf(id).height, c.dpi)) << "only the pictures give up height";
    }
    ExpectNoOverlap(places);
  }
}

TEST(Form1Layout, BelowTheSmallestHeightTheBottomGroupStillFollowsTheEdgeOverTheTopOne) {
  StackingForm f;
  f.Click(CheckBoxName::CheckBox1);
  f.Click(CheckBoxName::CheckBox2);
  EXPECT_EQ(f.controls.stacking.MinimumClientHeight(), 446);
  EXPECT_EQ(Form1Stacking{}.MinimumClientHeight(), 290);
  EXPECT_EQ(Form1Stacking{}.MinimumClientHeight(144), 439);
  const Places places = PlacesOf(f.controls.stacking, 454, 400);
  EXPECT_EQ(HeightOf(places, control_id::Image1), 0);
  EXPECT_EQ(HeightOf(places, control_id::Image2), 0);
  EXPECT_EQ(places.at(control_id::CheckBox2), (ControlRect{0, 35, 454, 52}));
  EXPECT_EQ(places.at(control_id::ProgressBar1), (ControlRect{0, 373, 454, 400}));
  EXPECT_EQ(places.at(control_id::Panel2).top, 400 - 169 - 114 - 111);
}

TEST(Form1Layout, At120And144DpiEveryLengthIsScaledOnceAndNothingOverlaps) {
  struct Case {
    int dpi;
    int width, height;  // the designed client size at that DPI
    ControlRect progress, panel3, edit1, label2, edit2, button8;
  };
  const Case cases[] = {
      {120, 568, 840, {0, 806, 568, 840}, {0, 517, 568, 603}, {1, 51, 567, 85}, {1, 26, 567, 50}, {1, 50, 567, 84},
       {1250, 160, 1561, 191}},
      {144, 681, 1008, {0, 967, 681, 1008}, {0, 616, 681, 720}, {2, 62, 679, 102}, {2, 32, 679, 60}, {2, 60, 679, 101},
       {1500, 192, 1874, 230}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dpi);
    EXPECT_EQ(ScaledLength(kForm1ClientWidth, c.dpi), c.width);
    EXPECT_EQ(ScaledLength(kForm1ClientHeight, c.dpi), c.height);
    StackingForm f;
    const Places start = PlacesOf(f.controls.stacking, c.width, c.height, c.dpi);
    EXPECT_EQ(start.at(control_id::ProgressBar1), c.progress);
    EXPECT_EQ(start.at(control_id::Panel3), c.panel3);
    EXPECT_EQ(start.at(control_id::Edit1), c.edit1);
    EXPECT_EQ(start.at(control_id::Label2), c.label2);
    EXPECT_EQ(start.at(control_id::Edit2), c.edit2);
    EXPECT_EQ(start.at(control_id::Button8), c.button8);
    EXPECT_EQ(HeightOf(start, control_id::Image1), ScaledLength(201, c.dpi)) << "the banner keeps its height";
    ExpectNoOverlap(start);
    f.Click(CheckBoxName::CheckBox1);
    f.Click(CheckBoxName::CheckBox2);
    const Places both = PlacesOf(f.controls.stacking, c.width, c.height, c.dpi);
    EXPECT_EQ(HeightOf(both, control_id::Image1), ScaledLength(201, c.dpi)) << "both panels fit the scaled design";
    ExpectNoOverlap(both);
    // Inside each panel the edits and labels follow each other without a shared row, and
    // end above the panel's bottom edge.
    const int panels[][5] = {{control_id::Panel1, control_id::Label2, control_id::Edit2, control_id::Label3, control_id::Edit3},
                             {control_id::Panel2, control_id::Label4, control_id::Edit4, control_id::Label5, control_id::Edit5}};
    for (const auto& panel : panels) {
      for (int i = 2; i < 5; ++i) EXPECT_LE(both.at(panel[i - 1]).bottom, both.at(panel[i]).top) << panel[i];
      EXPECT_LE(both.at(panel[4]).bottom, HeightOf(both, panel[0]));
    }
  }
}

namespace {

class RecordingTaskbarButton : public TaskbarButton {
 public:
  std::vector<std::string> calls;
  void ShowState(TaskbarState state) override {
    const char* names[] = {"none", "indeterminate", "normal", "error"};
    calls.push_back(names[static_cast<int>(state)]);
  }
  void ShowValue(int position, int max) override {
    calls.push_back(std::to_string(position) + "/" + std::to_string(max));
  }
};

}  // namespace

TEST(TaskbarProgress, FollowsTheTransfersTheWaitsAndTheErrorReportAndTellsOnlyChanges) {
  struct Step {
    enum { Bar, Wait, Error, Attach } what;
    int a = 0, b = 0;
  };
  using S = Step;
  struct Case {
    const char* name;
    std::vector<Step> steps;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {"attached at the start: nothing to show", {{S::Attach}}, {"none"}},
      {"a download, then the wait for the setup program, then its end",
       {{S::Attach}, {S::Bar, 0, 100}, {S::Bar, 0, 4000}, {S::Bar, 2000, 4000}, {S::Bar, 2000, 4000},
        {S::Bar, 4000, 4000}, {S::Wait, 1}, {S::Wait, 1}, {S::Wait, 0}},
       {"none", "normal", "0/100", "0/4000", "2000/4000", "4000/4000", "indeterminate", "none"}},
      {"a failed download: red at its position, then nothing",
       {{S::Attach}, {S::Bar, 0, 100}, {S::Bar, 30, 100}, {S::Error, 1}, {S::Error, 0}},
       {"none", "normal", "0/100", "30/100", "error", "30/100", "none"}},
      {"an error while the chain waits: a full red bar, then nothing more",
       {{S::Attach}, {S::Bar, 100, 100}, {S::Wait, 1}, {S::Error, 1}, {S::Wait, 0}, {S::Error, 0}},
       {"none", "normal", "100/100", "indeterminate", "error", "100/100", "none"}},
      {"the configuration downloaded between two waits",
       {{S::Attach}, {S::Wait, 1}, {S::Wait, 0}, {S::Bar, 0, 100}, {S::Bar, 50, 100}, {S::Wait, 1}},
       {"none", "indeterminate", "none", "normal", "0/100", "50/100", "indeterminate"}},
      {"no button until the taskbar makes one: then the state of the moment",
       {{S::Bar, 10, 100}, {S::Bar, 20, 100}, {S::Attach}, {S::Bar, 30, 100}}, {"normal", "20/100", "30/100"}},
      {"a button made anew, after the taskbar restarted, is told again",
       {{S::Attach}, {S::Wait, 1}, {S::Attach}}, {"none", "indeterminate", "indeterminate"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingTaskbarButton button;
    TaskbarProgress taskbar;
    for (const Step& s : c.steps) {
      switch (s.what) {
        case Step::Bar: taskbar.BarMoved(s.a, s.b); break;
        case Step::Wait: taskbar.SetWaiting(s.a != 0); break;
        case Step::Error: taskbar.SetErrorShown(s.a != 0); break;
        case Step::Attach: taskbar.Attach(&button); break;
      }
    }
    EXPECT_EQ(button.calls, c.calls);
  }
}
