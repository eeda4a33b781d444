#include "ui/form1_layout.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "fakes.h"
#include "base/control_ids.h"
#include "ui/form1_handlers.h"

namespace {

using Places = std::map<int, ControlRect>;

Places PlacesOf(const Form1Stacking& stacking, int width, int height) {
  Places places;
  for (const Placement& p : stacking.Place(width, height)) {
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
