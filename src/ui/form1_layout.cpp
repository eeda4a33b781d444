#include "ui/form1_layout.h"

#include <algorithm>

#include "ui/control_ids.h"

namespace {

struct Stacked {
  int id;
  int height;
  // The entry choice that can hide it; the others always show.
  bool hideable;
  EntryChoice choice;
};

constexpr Stacked kTopGroup[] = {
    {control_id::Image1, 201, false, {}},
    {control_id::CheckBox1, 35, true, EntryChoice::CheckBox1},
    {control_id::CheckBox2, 17, true, EntryChoice::CheckBox2},
};

// From the bottom edge up; the shown panels follow above Image2.
constexpr Stacked kBottomGroup[] = {
    {control_id::ProgressBar1, 27, false, {}},
    {control_id::StatusBar1, 19, false, {}},
    {control_id::Button9, 41, true, EntryChoice::Button9},
    {control_id::Button7, 41, true, EntryChoice::Button7},
    {control_id::Button6, 41, true, EntryChoice::Button6},
    {control_id::Image2, 21, false, {}},
};

struct Panel {
  EntryChoice choice;
  int id;
  int height;
};

constexpr Panel kPanels[] = {
    {EntryChoice::Panel1, control_id::Panel1, 114},
    {EntryChoice::Panel2, control_id::Panel2, 111},
    {EntryChoice::Panel3, control_id::Panel3, 69},
};

// A panel's labels and edits lie at fixed heights within it, one pixel in from its
// sides so that its bevel stays clear.
struct Child {
  int id;
  int top;
  int height;
};

constexpr int kLabelHeight = 19;
constexpr int kEditHeight = 27;
constexpr Child kPanelChildren[] = {
    {control_id::Label2, 21, kLabelHeight}, {control_id::Edit2, 40, kEditHeight},
    {control_id::Label3, 67, kLabelHeight}, {control_id::Edit3, 86, kEditHeight},
    {control_id::Label4, 18, kLabelHeight}, {control_id::Edit4, 37, kEditHeight},
    {control_id::Label5, 64, kLabelHeight}, {control_id::Edit5, 83, kEditHeight},
    {control_id::Label1, 22, kLabelHeight}, {control_id::Edit1, 41, kEditHeight},
};

// The stage buttons are actions the chain clicks from code: they lie beyond the right
// edge of the designed window and a wider window never brings them into view, as they
// are never shown either.
struct Fixed {
  int id;
  int left, top, width, height;
};

constexpr Fixed kHiddenButtons[] = {
    {control_id::Button1, 1000, 35, 337, 25},  {control_id::Button2, 1000, 97, 337, 25},
    {control_id::Button3, 1000, 66, 337, 25},  {control_id::Button4, 1000, 190, 337, 25},
    {control_id::Button5, 1000, 159, 337, 25}, {control_id::Button8, 1000, 128, 249, 25},
};

int Index(EntryChoice choice) { return static_cast<int>(choice); }

int PanelHeight(EntryChoice panel) {
  for (const Panel& p : kPanels) {
    if (p.choice == panel) return p.height;
  }
  return 0;
}

int PanelId(EntryChoice panel) {
  for (const Panel& p : kPanels) {
    if (p.choice == panel) return p.id;
  }
  return 0;
}

bool IsPanel(EntryChoice choice) {
  return choice == EntryChoice::Panel1 || choice == EntryChoice::Panel2 || choice == EntryChoice::Panel3;
}

}  // namespace

Form1Stacking::Form1Stacking() {
  shown_.fill(true);
  shown_[Index(EntryChoice::Panel1)] = false;
  shown_[Index(EntryChoice::Panel2)] = false;
  panels_ = {EntryChoice::Panel3};
}

void Form1Stacking::SetShown(EntryChoice control, bool shown) {
  if (shown_[Index(control)] == shown) return;
  shown_[Index(control)] = shown;
  if (!IsPanel(control)) return;
  if (shown) {
    panels_.push_back(control);
  } else {
    panels_.erase(std::remove(panels_.begin(), panels_.end(), control), panels_.end());
  }
}

bool Form1Stacking::Shown(EntryChoice control) const { return shown_[Index(control)]; }

std::vector<Placement> Form1Stacking::Place(int client_width, int client_height) const {
  std::vector<Placement> places;
  int top = 0;
  for (const Stacked& s : kTopGroup) {
    if (s.hideable && !Shown(s.choice)) continue;
    places.push_back({s.id, {0, top, client_width, top + s.height}});
    top += s.height;
  }
  int bottom = client_height;
  for (const Stacked& s : kBottomGroup) {
    if (s.hideable && !Shown(s.choice)) continue;
    places.push_back({s.id, {0, bottom - s.height, client_width, bottom}});
    bottom -= s.height;
  }
  for (EntryChoice panel : panels_) {
    const int height = PanelHeight(panel);
    places.push_back({PanelId(panel), {0, bottom - height, client_width, bottom}});
    bottom -= height;
  }
  for (const Child& c : kPanelChildren) {
    places.push_back({c.id, {1, c.top, std::max(1, client_width - 1), c.top + c.height}});
  }
  for (const Fixed& b : kHiddenButtons) {
    places.push_back({b.id, {b.left, b.top, b.left + b.width, b.top + b.height}});
  }
  return places;
}
