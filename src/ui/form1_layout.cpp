#include "ui/form1_layout.h"

#include <algorithm>
#include <map>

#include "ui/form1_controls.h"

namespace {

namespace id = control_id;

// From the top edge down.
constexpr int kTopGroup[] = {id::Image1, id::CheckBox1, id::CheckBox2};
// From the bottom edge up; the shown panels follow above Image2.
constexpr int kBottomGroup[] = {id::ProgressBar1, id::StatusBar1, id::Button9, id::Button7, id::Button6, id::Image2};

// A panel's labels and edits lie at fixed tops within it, one pixel in from its sides so
// that its bevel stays clear.
struct Child {
  int id;
  int top;
};

constexpr Child kPanelChildren[] = {
    {id::Label2, 21}, {id::Edit2, 40}, {id::Label3, 67}, {id::Edit3, 86}, {id::Label4, 18},
    {id::Edit4, 37},  {id::Label5, 64}, {id::Edit5, 83}, {id::Label1, 22}, {id::Edit1, 41},
};

// The stage buttons are actions the chain clicks from code: they lie beyond the right
// edge of the designed window and a wider window never brings them into view, as they
// are never shown either.
struct Fixed {
  int id;
  int left, top, width;
};

constexpr Fixed kHiddenButtons[] = {
    {id::Button1, 1000, 35, 337},  {id::Button2, 1000, 97, 337},  {id::Button3, 1000, 66, 337},
    {id::Button4, 1000, 190, 337}, {id::Button5, 1000, 159, 337}, {id::Button8, 1000, 128, 249},
};

bool IsPanel(EntryChoice choice) { return ControlOf(ControlIdOf(choice)).kind == ControlKind::Panel; }

}  // namespace

Form1Stacking::Form1Stacking() {
  for (const ControlSpec& spec : MainWindowControls()) {
    if (!spec.entry_choice) continue;
    if (!spec.shown) {
      hidden_.insert(*spec.entry_choice);
    } else if (spec.kind == ControlKind::Panel) {
      panels_.push_back(*spec.entry_choice);
    }
  }
}

void Form1Stacking::SetShown(EntryChoice control, bool shown) {
  if (Shown(control) == shown) return;
  if (shown) {
    hidden_.erase(control);
  } else {
    hidden_.insert(control);
  }
  if (!IsPanel(control)) return;
  if (shown) {
    panels_.push_back(control);
  } else {
    panels_.erase(std::remove(panels_.begin(), panels_.end(), control), panels_.end());
  }
}

bool Form1Stacking::Shown(EntryChoice control) const { return hidden_.count(control) == 0; }

int ScaledLength(int length, int dpi) {
  // What MulDiv does for the window's own lengths, all of them positive.
  return static_cast<int>((static_cast<long long>(length) * dpi + 48) / 96);
}

int Form1Stacking::StackHeight(int dpi) const {
  int height = 0;
  for (const ControlSpec& spec : MainWindowControls()) {
    if (spec.parent_id != 0 || (spec.kind == ControlKind::Button && !spec.entry_choice)) continue;
    if (!spec.entry_choice || Shown(*spec.entry_choice)) height += ScaledLength(spec.height, dpi);
  }
  return height;
}

int Form1Stacking::MinimumClientHeight(int dpi) const {
  return StackHeight(dpi) - ScaledLength(ControlOf(id::Image1).height, dpi) -
         ScaledLength(ControlOf(id::Image2).height, dpi);
}

std::vector<Placement> Form1Stacking::Place(int client_width, int client_height, int dpi) const {
  const auto shows = [this](const ControlSpec& spec) { return !spec.entry_choice || Shown(*spec.entry_choice); };
  const auto scaled = [dpi](int length) { return ScaledLength(length, dpi); };
  // What the two groups lack to meet without overlapping, taken from the pictures only:
  // every other control is one the person reads or uses.
  int lacking = std::max(0, StackHeight(dpi) - client_height);
  std::map<int, int> height_of;
  for (int picture : {id::Image1, id::Image2}) {
    const int full = scaled(ControlOf(picture).height);
    const int given_up = std::min(lacking, full);
    height_of[picture] = full - given_up;
    lacking -= given_up;
  }
  const auto height = [&](const ControlSpec& spec) {
    const auto it = height_of.find(spec.id);
    return it != height_of.end() ? it->second : scaled(spec.height);
  };
  std::vector<Placement> places;
  int top = 0;
  for (int control : kTopGroup) {
    const ControlSpec& spec = ControlOf(control);
    if (!shows(spec)) continue;
    places.push_back({control, {0, top, client_width, top + height(spec)}});
    top += height(spec);
  }
  int bottom = client_height;
  for (int control : kBottomGroup) {
    const ControlSpec& spec = ControlOf(control);
    if (!shows(spec)) continue;
    places.push_back({control, {0, bottom - height(spec), client_width, bottom}});
    bottom -= height(spec);
  }
  for (EntryChoice panel : panels_) {
    const ControlSpec& spec = ControlOf(ControlIdOf(panel));
    places.push_back({spec.id, {0, bottom - height(spec), client_width, bottom}});
    bottom -= height(spec);
  }
  // Inside a panel and beyond the right edge each edge is a length from the parent's
  // origin, scaled on its own: so neighbours that touch in the design still touch.
  const int inset = scaled(1);
  for (const Child& c : kPanelChildren) {
    places.push_back({c.id, {inset, scaled(c.top), std::max(inset, client_width - inset),
                             scaled(c.top + ControlOf(c.id).height)}});
  }
  for (const Fixed& b : kHiddenButtons) {
    places.push_back({b.id, {scaled(b.left), scaled(b.top), scaled(b.left + b.width),
                             scaled(b.top + ControlOf(b.id).height)}});
  }
  return places;
}
